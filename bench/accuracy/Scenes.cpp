// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "Scenes.h"

#include <opencv2/imgproc.hpp>

#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <algorithm>
#include <optional>
#include <cmath>
#include <numbers>
#include <random>

namespace {

// A coin's radius, millimetres (a 20 mm coin).
constexpr double coinRadius = 10;

using Random = std::mt19937;

double uniform(Random& random, double low, double high)
{
    return std::uniform_real_distribution<double>(low, high)(random);
}
int uniformInt(Random& random, int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

// A band of the given widths along a quadratic curve from a over control to b.
QPainterPath band(QPointF a, QPointF control, QPointF b, double startWidth, double endWidth)
{
    constexpr int steps = 64;
    QPolygonF left, right;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps, u = 1 - t;
        const QPointF p = u * u * a + 2 * u * t * control + t * t * b;
        const QPointF d = 2 * u * (control - a) + 2 * t * (b - control);
        const double length = std::hypot(d.x(), d.y());
        const QPointF normal(-d.y() / length, d.x() / length);
        const double half = (startWidth + (endWidth - startWidth) * t) / 2;
        left << p + normal * half;
        right.prepend(p - normal * half);
    }
    QPainterPath path;
    path.addPolygon(left + right);
    path.closeSubpath();
    return path;
}

// A leaf blade from base (0, 0) to tip (length, 0).
QPainterPath blade(double length, double width, double skew)
{
    QPainterPath path(QPointF(0, 0));
    path.cubicTo(length * 0.15, -width * (0.75 + skew), length * 0.6, -width * 0.62, length, 0);
    path.cubicTo(length * 0.6, width * 0.62, length * 0.15, width * (0.75 - skew), 0, 0);
    path.closeSubpath();
    return path;
}

QPainterPath ellipse(QPointF centre, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

// The outline in millimetres, centred on the origin, before turning.
QPainterPath outline(const Item& item)
{
    Random random(item.seed);
    const double L = item.sizeMm;
    switch (item.kind) {
    case ItemKind::Leaf: {
        const double length = 0.78 * L, width = length * uniform(random, 0.42, 0.58);
        QPainterPath leaf = blade(length, width, uniform(random, -0.08, 0.08)).translated(-0.5 * L + 0.22 * L, 0);
        const QPointF base(-0.5 * L + 0.22 * L + 1, 0);
        leaf = leaf.united(band(base, QPointF(-0.4 * L, uniform(random, -4, 4)),
                                QPointF(-0.5 * L, uniform(random, -6, 6)), uniform(random, 1.6, 2.2),
                                uniform(random, 1.2, 1.6)));
        const int holes = uniformInt(random, 2, 4);
        for (int i = 0; i < holes; ++i) {
            const double r = uniform(random, 1.5, 0.06 * L);
            const QPointF at(-0.5 * L + 0.22 * L + length * uniform(random, 0.3, 0.7),
                             width * uniform(random, -0.25, 0.25));
            leaf = leaf.subtracted(ellipse(at, r, r * uniform(random, 0.6, 1.0)));
        }
        return leaf;
    }
    case ItemKind::CompoundLeaf: {
        // Five leaflets from the stalk's end; the picture's centre of them lies between leaflets.
        const QPointF hub(-0.15 * L, 0);
        QPainterPath leaf = band(QPointF(-0.5 * L, uniform(random, -3, 3)), QPointF(-0.3 * L, 0), hub + QPointF(2, 0),
                                 2.0, 2.0);
        const double spread[] = {-72, -36, 0, 36, 72};
        for (double a : spread) {
            const double length = 0.62 * L
                                  * (a == 0             ? 1.0
                                     : std::abs(a) < 40 ? 0.88
                                                        : 0.66)
                                  * uniform(random, 0.92, 1.05);
            QPainterPath leaflet = blade(length, length * uniform(random, 0.3, 0.38), 0).translated(-1.5, 0);
            leaf = leaf.united(
                QTransform().translate(hub.x(), hub.y()).rotate(a + uniform(random, -5, 5)).map(leaflet));
        }
        return leaf;
    }
    case ItemKind::GrassBlade: {
        const double bend = L * uniform(random, 0.18, 0.3);
        return band(QPointF(-0.5 * L, 0), QPointF(0, -2 * bend), QPointF(0.5 * L, 0), uniform(random, 4.5, 6.5), 0.4);
    }
    case ItemKind::ThinBlade: {
        const double bend = L * uniform(random, 0.1, 0.25);
        return band(QPointF(-0.5 * L, 0), QPointF(0, -2 * bend), QPointF(0.5 * L, 0), uniform(random, 0.8, 1.6), 0.6);
    }
    case ItemKind::Footprint: {
        QPainterPath foot = ellipse(QPointF(-0.34 * L, 0.02 * L), 0.15 * L, 0.13 * L);
        QPainterPath ball = ellipse(QPointF(0.17 * L, 0), 0.15 * L, 0.17 * L);
        foot = foot.united(ball);
        // The outer edge: a thin strip, or nothing when the arch is very high.
        if (uniform(random, 0, 1) < 0.6)
            foot = foot.united(band(QPointF(-0.3 * L, 0.1 * L), QPointF(-0.08 * L, 0.16 * L),
                                    QPointF(0.1 * L, 0.13 * L), 0.03 * L, 0.04 * L));
        const double toes[][3] = {
            {0.43, -0.09, 0.05}, {0.40, -0.015, 0.033}, {0.37, 0.045, 0.03}, {0.345, 0.1, 0.027}, {0.31, 0.145, 0.024}};
        for (const auto& toe : toes)
            foot = foot.united(ellipse(QPointF(toe[0] * L, toe[1] * L), toe[2] * L * 1.1, toe[2] * L));
        return foot;
    }
    case ItemKind::LightCoin:
    case ItemKind::DarkCoin: return ellipse(QPointF(0, 0), coinRadius, coinRadius);
    case ItemKind::Square1: {
        QPainterPath path;
        path.addRect(QRectF(-5, -5, 10, 10));
        return path;
    }
    case ItemKind::Square4: {
        QPainterPath path;
        path.addRect(QRectF(-10, -10, 20, 20));
        return path;
    }
    }
    return {};
}

// A coin's body over box: lit from its upper left.
void paintCoinBody(QPainter& painter, const QRectF& box, const QColor& lit, const QColor& shaded)
{
    QRadialGradient body(QPointF(-3, -3), 12);
    body.setColorAt(0, lit);
    body.setColorAt(1, shaded);
    painter.fillRect(box, body);
}

// A ring round the coin's centre (millimetres), drawn with pen in colour and width.
void strokeRing(QPainter& painter, QPen& pen, const QColor& colour, double width, double radius)
{
    pen.setColor(colour);
    pen.setWidthF(width);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QPointF(0, 0), radius, radius);
}

// A coin's rim from innerRadius (millimetres) out past its edge, where the
// coin's outline cuts it. Ending at the edge itself, the rim would only
// partly cover the edge pixels, letting the body show through them before
// the outline's coverage mixes them with the paper: the coin's edge would
// come out darker or lighter than a real one, and seem to lie a fraction of
// a pixel further out or in.
void strokeRimToEdge(QPainter& painter, QPen& pen, const QColor& colour, double innerRadius)
{
    constexpr double beyondEdge = coinRadius + 1;
    strokeRing(painter, pen, colour, beyondEdge - innerRadius, (beyondEdge + innerRadius) / 2);
}

// Paints the item's own colours (its veins, rim, highlights) over box, in millimetres as outline().
void paintColours(QPainter& painter, const Item& item, const QRectF& box)
{
    Random random(item.seed * 7919u + 13u);
    QPen pen;
    pen.setCapStyle(Qt::RoundCap);
    switch (item.kind) {
    case ItemKind::Leaf:
    case ItemKind::CompoundLeaf:
    case ItemKind::GrassBlade:
    case ItemKind::ThinBlade: {
        const QColor green(uniformInt(random, 45, 85), uniformInt(random, 95, 140), uniformInt(random, 25, 55));
        painter.fillRect(box, green);
        // Lighter veins and a few darker patches.
        pen.setColor(green.lighter(135));
        for (int i = 0; i < 40; ++i) {
            pen.setWidthF(uniform(random, 0.3, 1.0));
            painter.setPen(pen);
            const QPointF a(uniform(random, box.left(), box.right()), uniform(random, box.top(), box.bottom()));
            painter.drawLine(a, a + QPointF(uniform(random, -15, 15), uniform(random, -15, 15)));
        }
        pen.setWidthF(1.2);
        pen.setColor(green.lighter(150));
        painter.setPen(pen);
        painter.drawLine(QPointF(box.left(), 0), QPointF(box.right(), 0));
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 12; ++i) {
            painter.setBrush(green.darker(uniformInt(random, 105, 125)));
            painter.drawEllipse(
                QPointF(uniform(random, box.left(), box.right()), uniform(random, box.top(), box.bottom())),
                uniform(random, 2, 6), uniform(random, 2, 6));
        }
        break;
    }
    case ItemKind::Footprint: {
        painter.fillRect(box, QColor(35, 38, 60));
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 60; ++i) { // ink thinner in places
            painter.setBrush(QColor(60, 62, 85));
            painter.drawEllipse(
                QPointF(uniform(random, box.left(), box.right()), uniform(random, box.top(), box.bottom())),
                uniform(random, 1, 4), uniform(random, 1, 4));
        }
        break;
    }
    case ItemKind::LightCoin: {
        paintCoinBody(painter, box, QColor(182, 182, 178), QColor(160, 160, 157));
        // Relief, then the lighter rim (out to the coin's edge, as the dark
        // coin's) and a few highlights.
        strokeRing(painter, pen, QColor(195, 195, 190), 0.4, 6);
        painter.drawLine(QPointF(-3, 0), QPointF(3, 0));
        strokeRimToEdge(painter, pen, QColor(202, 202, 198), 9.2);
        pen.setColor(QColor(228, 228, 222));
        pen.setWidthF(0.6);
        painter.setPen(pen);
        const double start = uniform(random, 0, 360);
        painter.drawArc(QRectF(-9.2, -9.2, 18.4, 18.4), int(start * 16), 40 * 16);
        painter.drawArc(QRectF(-9.2, -9.2, 18.4, 18.4), int((start + 180) * 16), 25 * 16);
        break;
    }
    case ItemKind::DarkCoin: {
        paintCoinBody(painter, box, QColor(150, 92, 62), QColor(112, 66, 44));
        strokeRimToEdge(painter, pen, QColor(95, 55, 36), 9.0);
        break;
    }
    case ItemKind::Square1:
    case ItemKind::Square4: painter.fillRect(box, QColor(28, 28, 30)); break;
    }
}

QTransform placement(const Item& item, double pixelsPerMm)
{
    return QTransform()
        .translate(item.centreXmm * pixelsPerMm, item.centreYmm * pixelsPerMm)
        .scale(pixelsPerMm, pixelsPerMm)
        .rotate(item.angle);
}

// Draws one item into image; fills in its coverage, bounds and (from random) its loose rectangle.
void drawItem(QImage& image, Item& item, double pixelsPerMm, Random& random)
{
    const QTransform toPixels = placement(item, pixelsPerMm);
    const QPainterPath shape = toPixels.map(outline(item));
    const QRect bounds = shape.boundingRect().toAlignedRect().adjusted(-2, -2, 2, 2).intersected(image.rect());
    if (bounds.isEmpty())
        return;

    // Coverage: the outline drawn alone, antialiased, as alpha.
    QImage mask(bounds.size(), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-bounds.topLeft());
        painter.fillPath(shape, Qt::black);
    }
    std::int64_t sum = 0;
    QRect touched;
    for (int y = 0; y < mask.height(); ++y) {
        const uchar* row = mask.constScanLine(y);
        for (int x = 0; x < mask.width(); ++x) {
            sum += row[x];
            if (row[x])
                touched |= QRect(bounds.left() + x, bounds.top() + y, 1, 1);
        }
    }
    item.coverage = double(sum) / 255.0;
    item.bounds = touched;

    // The item's colours, laid on the picture through the coverage.
    QImage colours(bounds.size(), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&colours);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-bounds.topLeft());
        painter.setTransform(toPixels, true);
        paintColours(painter, item, QRectF(-item.sizeMm, -item.sizeMm, 2 * item.sizeMm, 2 * item.sizeMm));
        painter.end();
        QPainter masking(&colours);
        masking.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        masking.drawImage(0, 0, mask);
    }
    QPainter painter(&image);
    painter.drawImage(bounds.topLeft(), colours);

    // As a user drags it: a few percent to a fifth of the shape's size loose
    // on each side, never less than a few pixels, at most to the picture's edge.
    const auto margin = [&](int side) { return std::max(4, int(side * uniform(random, 0.03, 0.15))); };
    QRect loose = touched.adjusted(-margin(touched.width()), -margin(touched.height()), margin(touched.width()),
                                   margin(touched.height()));
    item.loose = loose.intersected(image.rect());
}

// Light falling off across the picture, a soft shadow, blur, then noise.
void photograph(QImage& image, const Conditions& c, Random& random)
{
    cv::Mat pixels(image.height(), image.width(), CV_8UC4, image.bits(), size_t(image.bytesPerLine()));
    const double w = image.width(), h = image.height();
    const double dx = std::cos(c.gradientAngle * std::numbers::pi / 180),
                 dy = std::sin(c.gradientAngle * std::numbers::pi / 180);
    const double reach = std::abs(dx) * w + std::abs(dy) * h;
    const double shadowX = uniform(random, 0.2, 0.8) * w, shadowY = uniform(random, 0.2, 0.8) * h;
    const double shadowR = uniform(random, 0.2, 0.35) * w, soft = 0.5 * shadowR;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = pixels.ptr<cv::Vec4b>(y);
        for (int x = 0; x < image.width(); ++x) {
            const double along = ((x - (dx < 0 ? w : 0)) * dx + (y - (dy < 0 ? h : 0)) * dy) / reach;
            double light = 1 - c.gradient * along;
            if (c.shadow > 0) {
                const double d = std::hypot(x - shadowX, (y - shadowY) * 1.6);
                const double t = std::clamp((shadowR + soft - d) / (2 * soft), 0.0, 1.0);
                light *= 1 - c.shadow * t * t * (3 - 2 * t);
            }
            for (int k = 0; k < 3; ++k)
                row[x][k] = cv::saturate_cast<uchar>(row[x][k] * light);
        }
    }
    if (c.blur > 0)
        cv::GaussianBlur(pixels, pixels, cv::Size(), c.blur);
    cv::Mat noise(pixels.size(), CV_16SC4);
    cv::RNG rng(random());
    rng.fill(noise, cv::RNG::NORMAL, 0, c.noise);
    cv::Mat noisy;
    cv::add(pixels, noise, noisy, cv::noArray(), CV_8UC4);
    noisy.copyTo(pixels);
    for (int y = 0; y < image.height(); ++y) { // opaque again
        auto* row = pixels.ptr<cv::Vec4b>(y);
        for (int x = 0; x < image.width(); ++x)
            row[x][3] = 255;
    }
}

struct SceneKind {
    const char* name;
    ItemKind object;
    double lengthMm;
    double mmAcross;
};

} // namespace

QString itemKindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Leaf: return QStringLiteral("leaf");
    case ItemKind::CompoundLeaf: return QStringLiteral("compound leaf");
    case ItemKind::GrassBlade: return QStringLiteral("grass blade");
    case ItemKind::ThinBlade: return QStringLiteral("thin blade");
    case ItemKind::Footprint: return QStringLiteral("footprint");
    case ItemKind::LightCoin: return QStringLiteral("light coin");
    case ItemKind::DarkCoin: return QStringLiteral("dark coin");
    case ItemKind::Square1: return QStringLiteral("1 cm2 square");
    case ItemKind::Square4: return QStringLiteral("4 cm2 square");
    }
    return {};
}

namespace {

// The photographs' sizes, and the papers they are taken on.
const QSize sizes[] = {{1600, 1200}, {2048, 1536}, {2592, 1944}, {3264, 2448}, {4000, 3000}, {6000, 4000}};
const QRgb papers[] = {qRgb(240, 238, 232), qRgb(246, 238, 214), qRgb(222, 222, 216), qRgb(228, 234, 242)};

// A picture's paper and how it was taken: the light falling off, perhaps a
// shadow, blur, noise and the JPEG quality.
void takePhotograph(Conditions& c, Random& random, bool shadowed)
{
    c.paper = papers[std::size_t(uniformInt(random, 0, 3))];
    c.gradient = uniform(random, 0.02, 0.25);
    c.gradientAngle = uniform(random, 0, 360);
    c.shadow = shadowed ? uniform(random, 0.1, 0.25) : 0;
    c.blur = uniform(random, 0.4, 1.4) * c.size.width() / 2000.0;
    c.noise = uniform(random, 2, 6);
    c.jpegQuality = uniformInt(random, 75, 95);
}

// The reference, a 20 mm coin or square, near the right side of a sheet
// widthMm x heightMm.
Item referenceItem(ItemKind kind, double widthMm, double heightMm, Random& random)
{
    Item reference;
    reference.role = ItemRole::Reference;
    reference.kind = kind;
    reference.sizeMm = 20;
    reference.angle = uniform(random, -20, 20);
    reference.centreXmm = widthMm * uniform(random, 0.85, 0.89);
    reference.centreYmm = heightMm * uniform(random, 0.25, 0.75);
    reference.seed = unsigned(random());
    return reference;
}

// "what + reference, size, quality, light, shadow" for the table of results.
QString sceneDescription(const QString& what, ItemKind reference, const Conditions& c)
{
    return QStringLiteral("%1 + %2, %3x%4, q%5, light -%6%%7")
        .arg(what, itemKindName(reference))
        .arg(c.size.width())
        .arg(c.size.height())
        .arg(c.jpegQuality)
        .arg(qRound(c.gradient * 100))
        .arg(c.shadow > 0 ? QStringLiteral(", shadow") : QString());
}

} // namespace

std::vector<Scene> sceneSet(unsigned seed, bool large)
{
    Random random(seed);
    // Each shape takes about half the picture's width, leaving room for the reference.
    const SceneKind kinds[] = {
        {"leaf", ItemKind::Leaf, 110, 240},        {"compound", ItemKind::CompoundLeaf, 150, 300},
        {"grass", ItemKind::GrassBlade, 150, 300}, {"foot", ItemKind::Footprint, 255, 510},
        {"leaf", ItemKind::Leaf, 80, 180},         {"compound", ItemKind::CompoundLeaf, 120, 240},
        {"leaf", ItemKind::Leaf, 140, 280},        {"foot", ItemKind::Footprint, 240, 480},
    };
    const ItemKind references[] = {ItemKind::LightCoin, ItemKind::DarkCoin, ItemKind::Square1, ItemKind::Square4};

    const int count = large ? 24 : 16;
    std::vector<Scene> scenes;
    for (int i = 0; i < count; ++i) {
        const SceneKind& kind = kinds[std::size_t(i) % std::size(kinds)];
        Scene scene;
        scene.seed = unsigned(random());
        Conditions& c = scene.conditions;
        // The default set stays at 4000 x 3000 and below but for one picture.
        const std::size_t sizeIndex = large ? std::size_t(i) % std::size(sizes)
                                            : (i == count - 1 ? 5 : std::size_t(uniformInt(random, 0, 4)));
        c.size = sizes[sizeIndex];
        c.mmAcross = kind.mmAcross * uniform(random, 1.0, 1.1);
        takePhotograph(c, random, i % 4 == 2);

        const double widthMm = c.mmAcross, heightMm = c.mmAcross * c.size.height() / c.size.width();
        Item object;
        object.role = ItemRole::Object;
        object.kind = kind.object;
        object.sizeMm = kind.lengthMm * uniform(random, 0.92, 1.08);
        object.angle = uniform(random, -25, 25);
        object.centreXmm = widthMm * uniform(random, 0.34, 0.4);
        object.centreYmm = heightMm * uniform(random, 0.45, 0.55);
        object.seed = unsigned(random());
        const Item reference = referenceItem(references[std::size_t(i) % std::size(references)], widthMm, heightMm,
                                             random);
        scene.items = {object, reference};
        scene.name = QStringLiteral("%1-%2").arg(i + 1, 2, 10, QChar(u'0')).arg(QString::fromLatin1(kind.name));
        scene.description = sceneDescription(itemKindName(object.kind), reference.kind, c);
        scenes.push_back(scene);
    }
    return scenes;
}

QImage renderScene(Scene& scene)
{
    Random random(scene.seed);
    const Conditions& c = scene.conditions;
    QImage image(c.size, QImage::Format_RGB32);
    image.fill(c.paper);
    for (Item& item : scene.items)
        drawItem(image, item, scene.pixelsPerMm(), random);
    photograph(image, c, random);
    return image;
}

namespace {

// A shape placed on a sheet, as shares of the picture's width (y: of its
// height).
struct Placed {
    ItemKind kind;
    double x, y, length;
};

// A sheet with the shapes placed on it and the reference last, photographed
// under conditions drawn from random (a picture size too, unless given).
Scene sheetScene(const std::vector<Placed>& placed, ItemKind referenceKind, std::optional<QSize> size, double mmAcross,
                 bool shadow, Random& random)
{
    Scene scene;
    scene.seed = unsigned(random());
    Conditions& c = scene.conditions;
    c.size = size ? *size : sizes[std::size_t(uniformInt(random, 0, 4))];
    c.mmAcross = mmAcross * uniform(random, 1.0, 1.1);
    takePhotograph(c, random, shadow);
    const double widthMm = c.mmAcross, heightMm = c.mmAcross * c.size.height() / c.size.width();
    QStringList kinds;
    for (const Placed& shape : placed) {
        Item object;
        object.kind = shape.kind;
        object.sizeMm = shape.length * widthMm * uniform(random, 0.9, 1.0);
        object.angle = uniform(random, -20, 20);
        object.centreXmm = widthMm * shape.x;
        object.centreYmm = heightMm * shape.y;
        object.seed = unsigned(random());
        scene.items.push_back(object);
        kinds << itemKindName(shape.kind);
    }
    const Item reference = referenceItem(referenceKind, widthMm, heightMm, random);
    scene.items.push_back(reference);
    scene.description = sceneDescription(kinds.join(QStringLiteral(", ")), reference.kind, c);
    return scene;
}

QString findSceneName(std::size_t index, const char* layout)
{
    return QStringLiteral("find-%1-%2").arg(index + 1, 2, 10, QChar(u'0')).arg(QString::fromLatin1(layout));
}

} // namespace

std::vector<Scene> findSceneSet(unsigned seed, bool large)
{
    Random random(seed * 7 + 1);
    const std::vector<std::vector<Placed>> layouts = {
        {{ItemKind::Leaf, 0.2, 0.3, 0.2}, {ItemKind::Leaf, 0.52, 0.3, 0.18}, {ItemKind::Leaf, 0.36, 0.74, 0.22}},
        {{ItemKind::Footprint, 0.38, 0.5, 0.5}},
        {{ItemKind::Leaf, 0.2, 0.28, 0.2},
         {ItemKind::GrassBlade, 0.45, 0.42, 0.3},
         {ItemKind::CompoundLeaf, 0.3, 0.75, 0.25}},
        {{ItemKind::Leaf, 0.22, 0.5, 0.25}, {ItemKind::Leaf, 0.55, 0.5, 0.22}},
    };
    const ItemKind references[] = {ItemKind::DarkCoin, ItemKind::Square4, ItemKind::LightCoin, ItemKind::Square1};
    const char* names[] = {"leaves", "toes", "mixed", "pair"};

    const int count = large ? 12 : 8;
    std::vector<Scene> scenes;
    for (int i = 0; i < count; ++i) {
        const std::size_t layout = std::size_t(i) % layouts.size();
        Scene scene = sheetScene(layouts[layout],
                                 references[std::size_t(i / int(layouts.size()) + i) % std::size(references)],
                                 large ? std::optional(sizes[std::size_t(i) % std::size(sizes)]) : std::nullopt,
                                 layout == 1 ? 500 : 320, i % 3 == 2, random);
        scene.name = findSceneName(std::size_t(i), names[layout]);
        scenes.push_back(scene);
    }
    // Blades of fine grass, about a millimetre wide, drawn apart from the
    // rest so that the sheets above stay as they were.
    Random bladesRandom(seed * 13 + 5);
    const std::vector<Placed> blades = {{ItemKind::ThinBlade, 0.3, 0.3, 0.3},
                                        {ItemKind::ThinBlade, 0.35, 0.55, 0.35},
                                        {ItemKind::ThinBlade, 0.4, 0.8, 0.25}};
    for (int i = 0; i < (large ? 3 : 2); ++i) {
        Scene scene = sheetScene(blades, references[std::size_t(i) % std::size(references)],
                                 sizes[std::size_t(large ? 2 * i : i) % std::size(sizes)], 320, i == 1, bladesRandom);
        scene.name = findSceneName(std::size_t(count + i), "blades");
        scenes.push_back(scene);
    }
    return scenes;
}
