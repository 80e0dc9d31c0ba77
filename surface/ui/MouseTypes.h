// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Mouse arguments of the image control's handlers.
#include <QFlags>
#include <Qt>

enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };

// The keys and mouse buttons held with an event.
class TShiftState {
public:
    TShiftState() = default;
    explicit TShiftState(int flags) : bits(flags) { }
    bool contains(TShiftFlag flag) const { return (bits & flag) != 0; }
    int flags() const { return bits; }

private:
    int bits = 0;
};

TMouseButton mouseButtonOf(Qt::MouseButton button);
TShiftState shiftStateOf(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
