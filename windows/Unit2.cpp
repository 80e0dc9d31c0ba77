// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "windows/Unit2.h"

#include "surface/ui/UiFont.h"
#include "surface/readers/PictureFile.h"

#include <QFile>
#include <QKeyEvent>

#include <algorithm>

TForm2* Form2 = nullptr;

namespace {

using namespace Qt::StringLiterals;

// A picture built into the program (an uncompressed 24-bit Windows bitmap),
// shown at its own size with its top-left corner at (left, top).
TImage* placedPicture(QWidget* parent, const QString& resource, int left, int top)
{
    QFile file(resource);
    file.open(QIODevice::ReadOnly);
    auto* image = new TImage(parent);
    image->autoSize = true;
    image->move(left, top);
    image->assignPicture(readBmp(file.readAll()));
    return image;
}

// A caption sized to its text at (left, top); where the face drawn in place
// of the box's own runs a pixel or two wider, moved in just enough to stay
// whole inside the box rather than be cut off at its edge.
QLabel* placedLabel(QWidget* parent, const QString& caption, int left, int top)
{
    auto* label = new QLabel(caption, parent);
    label->adjustSize();
    label->move(std::max(0, std::min(left, parent->width() - label->width())), top);
    return label;
}

} // namespace

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(u"Form2"_s);
    setWindowTitle(u"バージョン情報"_s);
    setFont(uiFont(12));
    setModal(true);
    setFixedSize(254, 115);
    move(247, 76);

    Image1 = placedPicture(this, u":/pictures/footprint.bmp"_s, 8, 8);
    Label1 = new QLabel(u"PLANIX"_s, this);
    Label1->setFont(uiFont(24));
    Label1->move(88, 16);
    Label1->adjustSize();
    Label3 = placedLabel(this, u"Version 2.00"_s, 184, 24);
    Label4 = placedLabel(this, u"PLANIX 開発チーム"_s, 80, 48);
    Image2 = placedPicture(this, u":/pictures/coin.bmp"_s, 224, 40);
}

void TForm2::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter: event->accept(); return;
    default: QDialog::keyPressEvent(event);
    }
}
