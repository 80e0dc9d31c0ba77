// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/metafile/MetafileCanvas.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Limits that keep a hostile file from making the painter work without end:
// a DIB's pixels, a pen's width and a font's size in target pixels.
constexpr std::int64_t maxDibPixels = 16LL * 1024 * 1024;
constexpr double maxPenPixels = 4096;
constexpr double maxTextPixels = 4096;
constexpr double defaultTextPixels = 12;
constexpr std::size_t maxSavedStates = 256;

constexpr std::uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

struct DibLayout {
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: top-down
    unsigned bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::size_t infoBytes = 0; // header, masks and colour table

    std::int64_t pixels() const { return width * (height < 0 ? -height : height); }
};

std::optional<DibLayout> dibLayout(const RecordView& info)
{
    DibLayout dib;
    const std::uint32_t headerSize = info.u32(0);
    std::uint64_t colours = 0;
    std::size_t entryBytes = 4, maskBytes = 0;
    if (headerSize == 12) { // OS/2 core header
        dib.width = info.u16(4);
        dib.height = info.u16(6);
        dib.bitCount = info.u16(10);
        entryBytes = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {
        dib.width = info.i32(4);
        dib.height = info.i32(8);
        dib.bitCount = info.u16(14);
        dib.compression = info.u32(16);
        colours = info.u32(32);
        if (headerSize == 40 && dib.compression == BI_BITFIELDS)
            maskBytes = 12;
        if (headerSize == 40 && dib.compression == BI_ALPHABITFIELDS)
            maskBytes = 16;
    } else {
        return std::nullopt;
    }
    if (colours == 0 && dib.bitCount <= 8)
        colours = std::uint64_t{1} << dib.bitCount;
    const bool knownDepth = dib.bitCount == 1 || dib.bitCount == 4 || dib.bitCount == 8 || dib.bitCount == 16
                            || dib.bitCount == 24 || dib.bitCount == 32;
    const std::int64_t rows = dib.height < 0 ? -dib.height : dib.height;
    if (info.overrun() || !knownDepth || colours > 256 || dib.width <= 0 || rows == 0
        || dib.width * rows > maxDibPixels)
        return std::nullopt;
    dib.infoBytes = headerSize + maskBytes + colours * entryBytes;
    return dib;
}

// Whether bits can hold the pixels the layout declares (run-length data
// expands at most 255 pixels from two bytes).
bool bitsSuffice(const DibLayout& dib, std::size_t bitsBytes)
{
    const std::int64_t rows = dib.height < 0 ? -dib.height : dib.height;
    switch (dib.compression) {
    case BI_RGB:
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: {
        const std::int64_t stride = (dib.width * dib.bitCount + 31) / 32 * 4;
        return stride * rows <= static_cast<std::int64_t>(bitsBytes);
    }
    case BI_RLE8:
    case BI_RLE4: return dib.width * rows <= static_cast<std::int64_t>(bitsBytes) * 128;
    default: return false; // JPEG or PNG inside a DIB: not drawn
    }
}

void appendLittleEndian(QByteArray& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

QImage decodeDib(const DibLayout& dib, const RecordView& info, const RecordView& bits)
{
    if (!info.fits(0, dib.infoBytes, 1) || !bitsSuffice(dib, bits.size()))
        return {};
    // A BMP file around the DIB, read by Qt's BMP reader.
    constexpr std::uint32_t fileHeaderBytes = 14;
    QByteArray file("BM");
    appendLittleEndian(file, static_cast<std::uint32_t>(fileHeaderBytes + dib.infoBytes + bits.size()), 4);
    appendLittleEndian(file, 0, 4);
    appendLittleEndian(file, static_cast<std::uint32_t>(fileHeaderBytes + dib.infoBytes), 4);
    file.append(info.bytes(), static_cast<qsizetype>(dib.infoBytes));
    file.append(bits.bytes(), static_cast<qsizetype>(bits.size()));
    return QImage::fromData(file, "BMP");
}

constexpr double squaredLength(double x, double y) { return x * x + y * y; }

bool isUsable(const QTransform& t)
{
    const double parts[] = {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()};
    for (double part : parts)
        if (!std::isfinite(part) || std::abs(part) > 1e9)
            return false;
    return t.isInvertible();
}

Qt::PenStyle penStyle(unsigned style)
{
    switch (style) {
    case 1: return Qt::DashLine;
    case 2: return Qt::DotLine;
    case 3: return Qt::DashDotLine;
    case 4: return Qt::DashDotDotLine;
    case 5: return Qt::NoPen;
    default: return Qt::SolidLine;
    }
}

Qt::BrushStyle hatchStyle(unsigned hatch)
{
    switch (hatch) {
    case 0: return Qt::HorPattern;
    case 1: return Qt::VerPattern;
    case 2: return Qt::FDiagPattern;
    case 3: return Qt::BDiagPattern;
    case 4: return Qt::CrossPattern;
    default: return Qt::DiagCrossPattern;
    }
}

} // namespace

QString ansiText(const RecordView& record, std::size_t at, std::size_t count, int charset)
{
    constexpr int shiftJisCharset = 128;
    const RecordView text = record.slice(at, count);
    const QByteArrayView bytes(text.bytes(), static_cast<qsizetype>(text.size()));
    const qsizetype nul = bytes.indexOf('\0');
    const QByteArrayView untilNul = bytes.first(nul < 0 ? bytes.size() : nul);
    if (charset == shiftJisCharset) {
        QStringDecoder shiftJis("Shift_JIS");
        if (shiftJis.isValid())
            return shiftJis.decode(untilNul);
    }
    return QString::fromLatin1(untilNul);
}

QColor colourRef(std::uint32_t value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

MetafileCanvas::MetafileCanvas(QImage& target, const QRect& rect, MappingToTarget mapping)
    : mapping(std::move(mapping)), clip(rect & target.rect()), budget(clip), painter(&target)
{
    painter.setClipRect(clip);
    painter.setRenderHint(QPainter::Antialiasing, false);
}

bool MetafileCanvas::playRecord(std::size_t bytes) { return budget.charge(DrawWork::record(bytes)); }

bool MetafileCanvas::affordPoints(std::size_t count) { return budget.charge(DrawWork::points(count)); }

QImage MetafileCanvas::dib(const RecordView& info, const RecordView& bits)
{
    const std::optional<DibLayout> layout = dibLayout(info);
    if (!layout || !budget.charge(DrawWork::dib(layout->pixels())))
        return {};
    return decodeDib(*layout, info, bits);
}

QImage MetafileCanvas::packedDib(const RecordView& packed)
{
    const std::optional<DibLayout> layout = dibLayout(packed);
    if (!layout || !packed.fits(0, layout->infoBytes, 1))
        return {};
    return dib(packed.slice(0, layout->infoBytes), packed.slice(layout->infoBytes, packed.size() - layout->infoBytes));
}

void MetafileCanvas::selectObject(const GdiObject& object)
{
    if (auto* pen = std::get_if<GdiPen>(&object))
        current.pen = *pen;
    else if (auto* brush = std::get_if<GdiBrush>(&object))
        current.brush = *brush;
    else if (auto* font = std::get_if<GdiFont>(&object))
        current.font = *font;
}

void MetafileCanvas::saveState()
{
    if (saved.size() < maxSavedStates)
        saved.push_back(current);
}

void MetafileCanvas::restoreState(int n)
{
    const auto count = static_cast<std::int64_t>(saved.size());
    const std::int64_t keep = n < 0 ? count + n : std::int64_t{n} - 1;
    if (n == 0 || keep < 0 || keep >= count)
        return;
    current = saved[static_cast<std::size_t>(keep)];
    saved.resize(static_cast<std::size_t>(keep));
}

bool MetafileCanvas::preparePainter(bool withPen, bool withBrush)
{
    const QTransform toTarget = mapping(current.mapping);
    if (!isUsable(toTarget))
        return false;
    painter.setTransform(toTarget);
    painter.setPen(withPen ? qtPen(toTarget) : QPen(Qt::NoPen));
    painter.setBrush(withBrush ? qtBrush() : QBrush(Qt::NoBrush));
    return true;
}

// Takes the work of a shape, and any extra work, from the budget, the
// painter being prepared for it.
bool MetafileCanvas::affordShape(const std::vector<QPolygonF>& outlines, OutlineKind kind, double extra)
{
    return budget.charge(budget.shape(outlines, kind, painter.transform(), painter.pen(), painter.brush()) + extra);
}

QPen MetafileCanvas::qtPen(const QTransform& toTarget) const
{
    const GdiPen& pen = current.pen;
    if (pen.style == 5)
        return QPen(Qt::NoPen);
    // The width is taken to target pixels here and the pen made cosmetic,
    // so that the painter's transform leaves it alone.
    QPen qt(pen.colour);
    qt.setStyle(penStyle(pen.style));
    qt.setCosmetic(true);
    const double scale = std::sqrt(std::abs(toTarget.determinant()));
    const double pixels = pen.width > 1 ? pen.width * scale : 0;
    qt.setWidthF(pixels < 1.5 ? 0 : std::min(pixels, maxPenPixels)); // 0: one pixel
    return qt;
}

QBrush MetafileCanvas::qtBrush() const
{
    const GdiBrush& brush = current.brush;
    switch (brush.style) {
    case 0: return QBrush(brush.colour);
    case 1: return QBrush(Qt::NoBrush);
    case 2: return QBrush(brush.colour, hatchStyle(brush.hatch));
    default: return brush.pattern.isNull() ? QBrush(brush.colour) : QBrush(brush.pattern);
    }
}

QFont MetafileCanvas::qtFont(double pixelSize) const
{
    const GdiFont& font = current.font;
    QFont qt(font.face.isEmpty() ? QStringLiteral("sans-serif") : font.face);
    qt.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    qt.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight == 0 ? 400 : font.weight, 100, 900)));
    qt.setItalic(font.italic);
    qt.setUnderline(font.underline);
    qt.setStrikeOut(font.strikeOut);
    return qt;
}

void MetafileCanvas::lineTo(QPointF p)
{
    if (preparePainter(true, false) && affordShape({QPolygonF{current.position, p}}, OutlineKind::open))
        painter.drawLine(current.position, p);
    current.position = p;
}

void MetafileCanvas::polyline(const QPolygonF& points)
{
    if (points.size() >= 2 && preparePainter(true, false) && affordShape({points}, OutlineKind::open))
        painter.drawPolyline(points);
}

void MetafileCanvas::polygon(const QPolygonF& points)
{
    if (points.size() >= 2 && preparePainter(true, true) && affordShape({points}, OutlineKind::closed))
        painter.drawPolygon(points, current.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
}

void MetafileCanvas::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath path;
    path.setFillRule(current.windingFill ? Qt::WindingFill : Qt::OddEvenFill);
    for (const QPolygonF& polygon : polygons) {
        if (polygon.size() < 2)
            continue;
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    if (!path.isEmpty() && preparePainter(true, true) && affordShape(polygons, OutlineKind::closed))
        painter.drawPath(path);
}

void MetafileCanvas::polyBezier(const QPolygonF& points)
{
    if (points.size() < 4 || !preparePainter(true, false) || !affordShape({points}, OutlineKind::curves))
        return;
    QPainterPath path(points[0]);
    for (qsizetype i = 1; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
    painter.drawPath(path);
}

void MetafileCanvas::rectangle(const QRectF& box)
{
    if (preparePainter(true, true) && affordShape({QPolygonF(box)}, OutlineKind::closed))
        painter.drawRect(box.normalized());
}

void MetafileCanvas::ellipse(const QRectF& box)
{
    if (preparePainter(true, true)
        && affordShape({QPolygonF(box)}, OutlineKind::closed, DrawWork::ellipse(painter.transform().mapRect(box))))
        painter.drawEllipse(box.normalized());
}

void MetafileCanvas::roundRect(const QRectF& box, QSizeF corner)
{
    if (preparePainter(true, true) && affordShape({QPolygonF(box)}, OutlineKind::closed))
        painter.drawRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2,
                                Qt::AbsoluteSize);
}

void MetafileCanvas::setPixel(QPointF p, QColor colour)
{
    const QTransform toTarget = mapping(current.mapping);
    if (!isUsable(toTarget) || !budget.charge(DrawWork::pixel()))
        return;
    const QPointF at = toTarget.map(p);
    painter.resetTransform();
    painter.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), colour);
}

// Where text of width starts from its reference point, by the alignment.
QPointF MetafileCanvas::textOrigin(const QFontMetricsF& metrics, double width) const
{
    constexpr unsigned TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24;
    QPointF at;
    if ((current.textAlign & TA_CENTER) == TA_CENTER)
        at.setX(-width / 2);
    else if (current.textAlign & TA_RIGHT)
        at.setX(-width);
    if ((current.textAlign & TA_BASELINE) == TA_BOTTOM)
        at.setY(-metrics.descent());
    else if ((current.textAlign & TA_BASELINE) == 0)
        at.setY(metrics.ascent());
    return at;
}

// Text stays upright and unmirrored whatever the mapping, as GDI draws it:
// the reference point is mapped, the font sized by the vertical scale.
void MetafileCanvas::text(QPointF reference, std::size_t count, const std::function<QString()>& decode)
{
    constexpr unsigned TA_UPDATECP = 1;
    const QTransform toTarget = mapping(current.mapping);
    if (count == 0 || !isUsable(toTarget))
        return;
    const double verticalScale = std::sqrt(squaredLength(toTarget.m21(), toTarget.m22()));
    const double pixelSize = current.font.height == 0 ? defaultTextPixels
                                                      : std::abs(double(current.font.height)) * verticalScale;
    if (pixelSize < 1 || pixelSize > maxTextPixels || !budget.charge(DrawWork::characters(count)))
        return;
    const QString text = decode();
    if (text.isEmpty())
        return;
    const bool fromPosition = current.textAlign & TA_UPDATECP;
    const QPointF anchor = toTarget.map(fromPosition ? current.position : reference);
    const QFont font = qtFont(pixelSize);
    const QFontMetricsF metrics(font);
    const double width = metrics.horizontalAdvance(text);
    const QPointF at = textOrigin(metrics, width);
    const QTransform placing =
        QTransform::fromTranslate(anchor.x(), anchor.y()).rotate(-double(current.font.escapement) / 10);
    const QRectF box(at.x(), at.y() - metrics.ascent(), width, metrics.height());
    if (!budget.chargeGlyphs(text, font, at, placing, box))
        return;
    painter.setTransform(placing);
    painter.setFont(font);
    if (current.opaqueBack)
        painter.fillRect(box, current.backColour);
    painter.setPen(current.textColour);
    painter.drawText(at, text);
    if (fromPosition)
        current.position = toTarget.inverted().map(anchor + QPointF(width, 0));
}

// The bitmap is placed in target pixels here and drawn without a transform,
// only the part inside the clip: the painter's own scaling of images
// fails on flipped sub-pixel destinations, and a lying record can ask for
// a destination of a billion pixels.
void MetafileCanvas::image(const QRectF& dest, const QImage& image, const QRect& source)
{
    const QRect part = source.normalized() & image.rect();
    const QTransform toTarget = mapping(current.mapping);
    if (image.isNull() || part.isEmpty() || !isUsable(toTarget))
        return;
    const QRectF placed = toTarget.mapRect(dest.normalized());
    auto pixel = [](double v) { return static_cast<int>(std::lround(std::clamp(v, -1e8, 1e8))); };
    const QRect device(QPoint(pixel(placed.left()), pixel(placed.top())),
                       QPoint(pixel(placed.right()) - 1, pixel(placed.bottom()) - 1));
    const QRect visible = device & clip;
    if (device.isEmpty() || visible.isEmpty() || !budget.charge(DrawWork::image(visible, part.size())))
        return;
    const bool flipX = (dest.width() < 0) != (toTarget.m11() < 0);
    const bool flipY = (dest.height() < 0) != (toTarget.m22() < 0);
    const QImage piece = image.copy(part).mirrored(flipX, flipY);
    const double sx = double(piece.width()) / device.width(), sy = double(piece.height()) / device.height();
    const QRectF from((visible.left() - device.left()) * sx, (visible.top() - device.top()) * sy, visible.width() * sx,
                      visible.height() * sy);
    painter.resetTransform();
    painter.drawImage(QRectF(visible), piece, from);
}
