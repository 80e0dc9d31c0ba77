// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A picture named on the command line opens once the main window, shown just
// now, has its place on the screen.
#include <QString>

class TForm1;

// form.openPicture(fileName) from the event loop, after the window placement
// has had the window manager's frame (or after a second at most).
void openOnceShown(TForm1& form, const QString& fileName);
