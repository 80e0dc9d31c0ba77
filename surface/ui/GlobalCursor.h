// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program-wide cursor: the wait cursor over all the program's windows
// until the default is set again.
enum TCursor : int { crDefault = 0, crHourGlass = -11, crHandPoint = -21 };

void setScreenCursor(TCursor cursor);
TCursor screenCursor();
