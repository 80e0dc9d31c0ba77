// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's icon: a footprint beside a one-yen coin, painted at each size
// the desktop uses (16 to 256 pixels) and built into the program.
#include <QIcon>

QIcon programIcon();
