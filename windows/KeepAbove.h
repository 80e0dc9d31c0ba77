// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Keeping a window above the others while its program is the active one.
#include <Qt>

class QWidget;

// window stays above every ordinary window while the program is the active
// application, and drops back into the ordinary stacking order while another
// application is active or while one of the program's modal windows (About
// box, message box, file dialog) is open, so that window never hides it.
//
// Under X this is the window manager's "above" state (_NET_WM_STATE_ABOVE),
// which Qt sets and clears on the mapped window when the stays-on-top hint of
// its QWindow changes; the widget is told the same flags without being
// re-created (re-creating would hide it and show it anew).
void keepAboveWhileActive(QWidget& window);

// Whether window is to stay above now, for the given application state.
bool staysAbove(const QWidget& window, Qt::ApplicationState state);
