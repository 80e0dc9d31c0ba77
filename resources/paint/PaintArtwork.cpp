// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Paints the program's pictures: the icon (a footprint beside a one-yen coin)
// at every size the desktop asks for, and the About box's two bitmaps.
//
//   planix_paint_artwork <resources folder>
//
// writes icons/hicolor/<n>x<n>/apps/planix.png for n = 16 ... 256 and
// pictures/footprint.bmp (70 x 100) and pictures/coin.bmp (20 x 29), both
// uncompressed 24-bit Windows bitmaps. The outputs are kept in the source
// tree; run this again only when the drawing changes.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

const QColor ink(0x20, 0x20, 0x28);
const QColor paper(Qt::white);
const QColor buttonFace(0xEF, 0xEF, 0xEF);
const QColor coinFace(0xD8, 0xDA, 0xDE);
const QColor coinRim(0x70, 0x74, 0x7C);

// A point of box, given as fractions of its width and height.
QPointF at(const QRectF& box, double x, double y)
{
    return {box.left() + x * box.width(), box.top() + y * box.height()};
}

// The print of a right foot filling box: the sole with its arch on the left
// (inner) side, and five toes, the big toe on the left.
void paintFootprint(QPainter& painter, const QRectF& box)
{
    QPainterPath sole(at(box, 0.56, 0.99));
    auto curve = [&](double x1, double y1, double x2, double y2, double x3, double y3) {
        sole.cubicTo(at(box, x1, y1), at(box, x2, y2), at(box, x3, y3));
    };
    curve(0.86, 0.99, 0.90, 0.82, 0.86, 0.68); // outer side of the heel
    curve(0.82, 0.54, 0.96, 0.44, 0.97, 0.33); // outer edge up to the ball
    curve(0.98, 0.22, 0.78, 0.19, 0.56, 0.20); // top of the ball
    curve(0.30, 0.21, 0.06, 0.22, 0.08, 0.36); // inner side of the ball
    curve(0.10, 0.50, 0.46, 0.54, 0.38, 0.70); // the arch
    curve(0.30, 0.84, 0.24, 0.99, 0.56, 0.99); // inner side of the heel
    painter.setPen(Qt::NoPen);
    painter.setBrush(ink);
    painter.drawPath(sole);

    struct Toe {
        double x, y, rx, ry;
    };
    const Toe toes[] = {
        {0.20, 0.095, 0.125, 0.085}, {0.43, 0.065, 0.080, 0.060}, {0.60, 0.080, 0.070, 0.055},
        {0.75, 0.115, 0.062, 0.050}, {0.88, 0.170, 0.055, 0.045},
    };
    for (const Toe& toe : toes)
        painter.drawEllipse(at(box, toe.x, toe.y), toe.rx * box.width(), toe.ry * box.height());
}

// A one-yen coin: a light aluminium disc with a darker rim, and an inner ring
// where there is room for one.
void paintCoin(QPainter& painter, const QRectF& disc)
{
    const double rim = std::max(1.0, disc.width() / 14);
    painter.setPen(QPen(coinRim, rim));
    painter.setBrush(coinFace);
    const double half = rim / 2;
    painter.drawEllipse(disc.adjusted(half, half, -half, -half));
    if (disc.width() >= 24) {
        painter.setPen(QPen(coinRim, rim / 2));
        painter.setBrush(Qt::NoBrush);
        const double inset = disc.width() * 0.2;
        painter.drawEllipse(disc.adjusted(inset, inset, -inset, -inset));
    }
}

QImage icon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    paintFootprint(painter, QRectF(0.02 * s, 0.0, 0.56 * s, s));
    const double coin = 0.42 * s;
    paintCoin(painter, QRectF(s - coin, s - coin - 0.02 * s, coin, coin));
    return image;
}

QImage footprintPicture()
{
    QImage image(70, 100, QImage::Format_RGB32);
    image.fill(paper);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintFootprint(painter, QRectF(8, 4, 54, 92));
    return image;
}

QImage coinPicture()
{
    QImage image(20, 29, QImage::Format_RGB32);
    image.fill(buttonFace);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCoin(painter, QRectF(0, 4.5, 20, 20));
    return image;
}

bool save(const QImage& image, const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    if (image.save(path))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <resources folder>\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (int size : {16, 32, 48, 64, 128, 256})
        ok &= save(icon(size), QStringLiteral("%1/icons/hicolor/%2x%2/apps/planix.png").arg(root).arg(size));
    ok &= save(footprintPicture(), root + QStringLiteral("/pictures/footprint.bmp"));
    ok &= save(coinPicture(), root + QStringLiteral("/pictures/coin.bmp"));
    return ok ? 0 : 1;
}
