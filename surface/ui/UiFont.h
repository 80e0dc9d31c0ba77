// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's face "ＭＳ Ｐゴシック" at a pixel height; where that face is not
// installed the font substitution set up at start-up supplies IPAPGothic.
#include <QFont>
#include <QStringList>

QFont uiFont(int pixelHeight);
void installFontSubstitutes();
