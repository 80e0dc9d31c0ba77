// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/ui/UiFont.h"

namespace {
const QString faceName = QStringLiteral("ＭＳ Ｐゴシック");
}

QFont uiFont(int pixelHeight)
{
    QFont font(faceName);
    font.setPixelSize(pixelHeight);
    return font;
}

void installFontSubstitutes()
{
    QFont::insertSubstitutions(faceName, QStringList{QStringLiteral("IPAPGothic"), QStringLiteral("IPAPゴシック")});
}
