// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/metafile/MetafilePlayers.h"

#include "surface/metafile/MetafileCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>
#include <unordered_map>
#include <uemf.h>

// EMF records: a 32-bit type (U_EMR_*), a 32-bit size in bytes (a multiple
// of 4), then the fields laid out as libUEMF's U_EMR* structures.

namespace {

constexpr std::size_t headerBytes = U_SIZE_EMRHEADER_MIN;
constexpr double screenDotsPerInch = 96;
constexpr double hundredthsOfMmPerInch = 2540;
constexpr std::size_t maxObjects = 65536;
constexpr std::uint32_t modifySet = 4; // MWT_SET, missing from uemf.h

#define FIELD(record, field) offsetof(record, field)

QRect rectAt(const RecordView& r, std::size_t at) // left, top, right, bottom
{
    return QRect(QPoint(r.i32(at), r.i32(at + 4)), QPoint(r.i32(at + 8), r.i32(at + 12)));
}

QPointF pointAt(const RecordView& r, std::size_t at) { return QPointF(r.i32(at), r.i32(at + 4)); }

QRectF boxAt(const RecordView& r, std::size_t at) { return QRectF(pointAt(r, at), pointAt(r, at + 8)); }

// The parts of the header that place the picture.
struct EmfHeader {
    QRect bounds;  // device pixels, inclusive
    QRect frame;   // 0.01 mm, inclusive
    QSizeF device; // reference device, pixels
    QSizeF millimetres;
};

EmfHeader readHeader(const RecordView& file)
{
    if (file.size() >= 4 && file.u32(0) != U_EMR_HEADER)
        throw metafileInvalid();
    if (file.size() < headerBytes)
        throw metafileCut();
    const std::uint32_t size = file.u32(4);
    if (file.u32(FIELD(U_EMRHEADER, dSignature)) != U_ENHMETA_SIGNATURE || size < headerBytes || size % 4)
        throw metafileInvalid();
    EmfHeader header;
    header.bounds = rectAt(file, FIELD(U_EMRHEADER, rclBounds));
    header.frame = rectAt(file, FIELD(U_EMRHEADER, rclFrame));
    header.device = QSizeF(file.i32(FIELD(U_EMRHEADER, szlDevice.cx)), file.i32(FIELD(U_EMRHEADER, szlDevice.cy)));
    header.millimetres = QSizeF(file.i32(FIELD(U_EMRHEADER, szlMillimeters.cx)),
                                file.i32(FIELD(U_EMRHEADER, szlMillimeters.cy)));
    return header;
}

// Calls visit(type, record) for every record before the end-of-file record
// (or the end of the bytes) until it returns false; throws when a record
// does not fit.
template <typename Visit>
void forEachRecord(const RecordView& file, Visit&& visit)
{
    std::size_t at = 0;
    while (at < file.size()) {
        if (file.size() - at < sizeof(U_EMR))
            throw metafileCut();
        const std::uint32_t type = file.u32(at), size = file.u32(at + 4);
        if (size < sizeof(U_EMR) || size % 4)
            throw metafileInvalid();
        if (size > file.size() - at)
            throw metafileCut();
        if (type == U_EMR_EOF || !visit(type, file.slice(at, size)))
            return;
        at += size;
    }
}

bool hasReferenceDevice(const EmfHeader& header)
{
    return header.device.width() > 0 && header.device.height() > 0 && header.millimetres.width() > 0
           && header.millimetres.height() > 0;
}

// The picture's frame in reference-device pixels.
QRectF deviceFrame(const EmfHeader& header)
{
    const QRect& frame = header.frame;
    if (hasReferenceDevice(header) && frame.right() > frame.left() && frame.bottom() > frame.top()) {
        const double sx = header.device.width() / (header.millimetres.width() * 100);
        const double sy = header.device.height() / (header.millimetres.height() * 100);
        return QRectF(frame.left() * sx, frame.top() * sy, (double(frame.right()) - frame.left()) * sx,
                      (double(frame.bottom()) - frame.top()) * sy);
    }
    const QRect& b = header.bounds;
    return QRectF(b.left(), b.top(), double(b.right()) - b.left() + 1, double(b.bottom()) - b.top() + 1);
}

// Page space to device pixels by the mapping mode: the fixed modes in their
// physical units (y upwards), the scaled ones by viewport over window.
QTransform pageToDevice(const GdiMapping& m, const EmfHeader& header)
{
    const double pixelsPerMmX = hasReferenceDevice(header) ? header.device.width() / header.millimetres.width()
                                                           : screenDotsPerInch / 25.4;
    const double pixelsPerMmY = hasReferenceDevice(header) ? header.device.height() / header.millimetres.height()
                                                           : screenDotsPerInch / 25.4;
    double unitMm = 0;
    switch (m.mapMode) {
    case U_MM_LOMETRIC: unitMm = 0.1; break;
    case U_MM_HIMETRIC: unitMm = 0.01; break;
    case U_MM_LOENGLISH: unitMm = 0.254; break;
    case U_MM_HIENGLISH: unitMm = 0.0254; break;
    case U_MM_TWIPS: unitMm = 25.4 / 1440; break;
    default: break;
    }
    double sx = 1, sy = 1;
    if (unitMm > 0) {
        sx = unitMm * pixelsPerMmX;
        sy = -unitMm * pixelsPerMmY;
    } else if (m.mapMode == U_MM_ISOTROPIC || m.mapMode == U_MM_ANISOTROPIC) {
        if (m.windowExt.x() == 0 || m.windowExt.y() == 0)
            return QTransform(0, 0, 0, 0, 0, 0);
        sx = m.viewportExt.x() / m.windowExt.x();
        sy = m.viewportExt.y() / m.windowExt.y();
        if (m.mapMode == U_MM_ISOTROPIC) {
            const double s = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(s, sx);
            sy = std::copysign(s, sy);
        }
    }
    return QTransform::fromTranslate(-m.windowOrg.x(), -m.windowOrg.y()) * QTransform::fromScale(sx, sy)
           * QTransform::fromTranslate(m.viewportOrg.x(), m.viewportOrg.y());
}

QTransform deviceToRect(const QRectF& frame, const QRect& rect)
{
    if (frame.width() <= 0 || frame.height() <= 0)
        return QTransform(0, 0, 0, 0, 0, 0);
    return QTransform::fromTranslate(-frame.left(), -frame.top())
           * QTransform::fromScale(rect.width() / frame.width(), rect.height() / frame.height())
           * QTransform::fromTranslate(rect.left(), rect.top());
}

GdiObject stockObject(std::uint32_t index)
{
    auto brush = [](QColor colour, unsigned style = U_BS_SOLID) { return GdiBrush{style, 0, colour, {}}; };
    switch (index & 0x7FFFFFFF) {
    case 0: return brush(Qt::white);
    case 1: return brush(QColor(0xC0, 0xC0, 0xC0));
    case 2: return brush(QColor(0x80, 0x80, 0x80));
    case 3: return brush(QColor(0x40, 0x40, 0x40));
    case 4: return brush(Qt::black);
    case 5: return brush(Qt::white, U_BS_NULL);
    case 6: return GdiPen{U_PS_SOLID, 0, Qt::white};
    case 7: return GdiPen{U_PS_SOLID, 0, Qt::black};
    case 8: return GdiPen{U_PS_NULL, 0, Qt::black};
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
    case 17: return GdiFont{};
    default: return std::monostate{};
    }
}

// The points, when they lie inside the record and reading them fits the
// draw's work budget.
template <typename Point>
QPolygonF pointsAt(MetafileCanvas& canvas, const RecordView& r, std::size_t at, std::uint64_t count)
{
    QPolygonF points;
    if (!r.fits(at, count, 2 * sizeof(Point)) || !canvas.affordPoints(count))
        return points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t p = at + 2 * sizeof(Point) * i;
        if constexpr (sizeof(Point) == 2)
            points.append(QPointF(r.i16(p), r.i16(p + 2)));
        else
            points.append(QPointF(r.i32(p), r.i32(p + 4)));
    }
    return points;
}

std::optional<QTransform> xformAt(const RecordView& r, std::size_t at)
{
    float f[6];
    for (int i = 0; i < 6; ++i) {
        f[i] = r.f32(at + 4 * i);
        if (!std::isfinite(f[i]))
            return std::nullopt;
    }
    return QTransform(f[0], f[1], f[2], f[3], f[4], f[5]);
}

// Whether a ternary raster operation reads its source at all.
bool usesSource(std::uint32_t rop)
{
    const unsigned index = (rop >> 16) & 0xFF;
    return ((index >> 2) ^ index) & 0x33;
}

class EmfPlayer {
public:
    explicit EmfPlayer(MetafileCanvas& canvas) : canvas(canvas) { }

    void play(std::uint32_t type, const RecordView& r)
    {
        GdiState& state = canvas.state();
        switch (type) {
        case U_EMR_POLYBEZIER: canvas.polyBezier(points<std::int32_t>(r)); break;
        case U_EMR_POLYGON: canvas.polygon(points<std::int32_t>(r)); break;
        case U_EMR_POLYLINE: canvas.polyline(points<std::int32_t>(r)); break;
        case U_EMR_POLYBEZIERTO: bezierTo(points<std::int32_t>(r)); break;
        case U_EMR_POLYLINETO: lineTo(points<std::int32_t>(r)); break;
        case U_EMR_POLYPOLYLINE: polyPoly<std::int32_t>(r, false); break;
        case U_EMR_POLYPOLYGON: polyPoly<std::int32_t>(r, true); break;
        case U_EMR_POLYBEZIER16: canvas.polyBezier(points<std::int16_t>(r)); break;
        case U_EMR_POLYGON16: canvas.polygon(points<std::int16_t>(r)); break;
        case U_EMR_POLYLINE16: canvas.polyline(points<std::int16_t>(r)); break;
        case U_EMR_POLYBEZIERTO16: bezierTo(points<std::int16_t>(r)); break;
        case U_EMR_POLYLINETO16: lineTo(points<std::int16_t>(r)); break;
        case U_EMR_POLYPOLYLINE16: polyPoly<std::int16_t>(r, false); break;
        case U_EMR_POLYPOLYGON16: polyPoly<std::int16_t>(r, true); break;
        case U_EMR_SETWINDOWEXTEX: state.mapping.windowExt = pointAt(r, 8); break;
        case U_EMR_SETWINDOWORGEX: state.mapping.windowOrg = pointAt(r, 8); break;
        case U_EMR_SETVIEWPORTEXTEX: state.mapping.viewportExt = pointAt(r, 8); break;
        case U_EMR_SETVIEWPORTORGEX: state.mapping.viewportOrg = pointAt(r, 8); break;
        case U_EMR_SETMAPMODE: state.mapping.mapMode = static_cast<int>(r.u32(8)); break;
        case U_EMR_SETWORLDTRANSFORM:
            if (auto xform = xformAt(r, 8))
                state.mapping.world = *xform;
            break;
        case U_EMR_MODIFYWORLDTRANSFORM: modifyWorld(r); break;
        case U_EMR_SETBKMODE: state.opaqueBack = r.u32(8) != U_TRANSPARENT; break;
        case U_EMR_SETBKCOLOR: state.backColour = colourRef(r.u32(8)); break;
        case U_EMR_SETPOLYFILLMODE: state.windingFill = r.u32(8) == U_WINDING; break;
        case U_EMR_SETTEXTALIGN: state.textAlign = r.u32(8); break;
        case U_EMR_SETTEXTCOLOR: state.textColour = colourRef(r.u32(8)); break;
        case U_EMR_SAVEDC: canvas.saveState(); break;
        case U_EMR_RESTOREDC: canvas.restoreState(r.i32(8)); break;
        case U_EMR_MOVETOEX: canvas.moveTo(pointAt(r, 8)); break;
        case U_EMR_LINETO: canvas.lineTo(pointAt(r, 8)); break;
        case U_EMR_SETPIXELV: canvas.setPixel(pointAt(r, 8), colourRef(r.u32(16))); break;
        case U_EMR_RECTANGLE: canvas.rectangle(boxAt(r, 8)); break;
        case U_EMR_ELLIPSE: canvas.ellipse(boxAt(r, 8)); break;
        case U_EMR_ROUNDRECT: canvas.roundRect(boxAt(r, 8), QSizeF(r.i32(24), r.i32(28))); break;
        case U_EMR_CREATEPEN: createPen(r); break;
        case U_EMR_EXTCREATEPEN: extCreatePen(r); break;
        case U_EMR_CREATEBRUSHINDIRECT: createBrush(r); break;
        case U_EMR_CREATEDIBPATTERNBRUSHPT: createPatternBrush(r); break;
        case U_EMR_EXTCREATEFONTINDIRECTW: createFont(r); break;
        case U_EMR_SELECTOBJECT: selectObject(r.u32(8)); break;
        case U_EMR_DELETEOBJECT: objects.erase(r.u32(8)); break;
        case U_EMR_EXTTEXTOUTA: textOut(r, false); break;
        case U_EMR_EXTTEXTOUTW: textOut(r, true); break;
        case U_EMR_STRETCHDIBITS: stretchDiBits(r); break;
        case U_EMR_BITBLT: bitBlt(r, false); break;
        case U_EMR_STRETCHBLT: bitBlt(r, true); break;
        default: break;
        }
    }

private:
    QImage recordDib(const RecordView& r, std::size_t usageAt, std::size_t offBmiAt, std::size_t offBitsAt)
    {
        if (r.u32(usageAt) != U_DIB_RGB_COLORS)
            return {};
        const RecordView info = r.slice(r.u32(offBmiAt), r.u32(offBmiAt + 4));
        const RecordView bits = r.slice(r.u32(offBitsAt), r.u32(offBitsAt + 4));
        if (info.size() == 0 || r.overrun())
            return {};
        return canvas.dib(info, bits);
    }

    // POLY* records: bounds, count, points.
    template <typename Coordinate>
    QPolygonF points(const RecordView& r)
    {
        return pointsAt<Coordinate>(canvas, r, FIELD(U_EMRPOLYLINE, aptl), r.u32(FIELD(U_EMRPOLYLINE, cptl)));
    }

    void lineTo(const QPolygonF& points)
    {
        if (points.isEmpty())
            return;
        canvas.polyline(QPolygonF{canvas.state().position} << points);
        canvas.moveTo(points.back());
    }

    void bezierTo(const QPolygonF& points)
    {
        if (points.isEmpty())
            return;
        canvas.polyBezier(QPolygonF{canvas.state().position} << points);
        canvas.moveTo(points.back());
    }

    // POLYPOLY* records: bounds, polygon count, point count, the counts, the points.
    template <typename Coordinate>
    void polyPoly(const RecordView& r, bool closed)
    {
        const std::uint32_t count = r.u32(FIELD(U_EMRPOLYPOLYLINE, nPolys));
        const std::size_t countsAt = FIELD(U_EMRPOLYPOLYLINE, aPolyCounts);
        if (!r.fits(countsAt, count, 4))
            return;
        std::size_t at = countsAt + 4 * std::size_t{count};
        std::vector<QPolygonF> polygons;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint32_t n = r.u32(countsAt + 4 * i);
            if (!r.fits(at, n, 2 * sizeof(Coordinate)))
                break;
            polygons.push_back(pointsAt<Coordinate>(canvas, r, at, n));
            at += 2 * sizeof(Coordinate) * std::size_t{n};
        }
        if (closed) {
            canvas.polyPolygon(polygons);
            return;
        }
        for (const QPolygonF& line : polygons)
            canvas.polyline(line);
    }

    void modifyWorld(const RecordView& r)
    {
        const auto xform = xformAt(r, FIELD(U_EMRMODIFYWORLDTRANSFORM, xform));
        QTransform& world = canvas.state().mapping.world;
        switch (r.u32(FIELD(U_EMRMODIFYWORLDTRANSFORM, iMode))) {
        case U_MWT_IDENTITY: world.reset(); break;
        case U_MWT_LEFTMULTIPLY:
            if (xform)
                world = *xform * world;
            break;
        case U_MWT_RIGHTMULTIPLY:
            if (xform)
                world = world * *xform;
            break;
        case modifySet:
            if (xform)
                world = *xform;
            break;
        default: break;
        }
    }

    void store(std::uint32_t index, GdiObject object)
    {
        if (objects.size() < maxObjects || objects.count(index))
            objects[index] = std::move(object);
    }

    void selectObject(std::uint32_t index)
    {
        if (index & 0x80000000u) {
            canvas.selectObject(stockObject(index));
        } else if (auto found = objects.find(index); found != objects.end()) {
            canvas.selectObject(found->second);
        }
    }

    void createPen(const RecordView& r)
    {
        store(r.u32(FIELD(U_EMRCREATEPEN, ihPen)),
              GdiPen{r.u32(FIELD(U_EMRCREATEPEN, lopn.lopnStyle)) & U_PS_STYLE_MASK,
                     static_cast<double>(r.i32(FIELD(U_EMRCREATEPEN, lopn.lopnWidth.x))),
                     colourRef(r.u32(FIELD(U_EMRCREATEPEN, lopn.lopnColor)))});
    }

    void extCreatePen(const RecordView& r)
    {
        store(r.u32(FIELD(U_EMREXTCREATEPEN, ihPen)),
              GdiPen{r.u32(FIELD(U_EMREXTCREATEPEN, elp.elpPenStyle)) & U_PS_STYLE_MASK,
                     static_cast<double>(r.u32(FIELD(U_EMREXTCREATEPEN, elp.elpWidth))),
                     colourRef(r.u32(FIELD(U_EMREXTCREATEPEN, elp.elpColor)))});
    }

    void createBrush(const RecordView& r)
    {
        GdiBrush brush;
        brush.style = r.u32(FIELD(U_EMRCREATEBRUSHINDIRECT, lb.lbStyle));
        brush.colour = colourRef(r.u32(FIELD(U_EMRCREATEBRUSHINDIRECT, lb.lbColor)));
        brush.hatch = r.u32(FIELD(U_EMRCREATEBRUSHINDIRECT, lb.lbHatch));
        store(r.u32(FIELD(U_EMRCREATEBRUSHINDIRECT, ihBrush)), brush);
    }

    void createPatternBrush(const RecordView& r)
    {
        using Record = U_EMRCREATEDIBPATTERNBRUSHPT;
        GdiBrush brush;
        brush.pattern = recordDib(r, FIELD(Record, iUsage), FIELD(Record, offBmi), FIELD(Record, offBits));
        brush.style = brush.pattern.isNull() ? U_BS_SOLID : U_BS_DIBPATTERN;
        brush.colour = Qt::black;
        store(r.u32(FIELD(Record, ihBrush)), brush);
    }

    void createFont(const RecordView& r)
    {
        constexpr std::size_t at = FIELD(U_EMREXTCREATEFONTINDIRECTW, elfw);
        GdiFont font;
        font.height = r.i32(at + FIELD(U_LOGFONT, lfHeight));
        font.escapement = r.i32(at + FIELD(U_LOGFONT, lfEscapement));
        font.weight = r.i32(at + FIELD(U_LOGFONT, lfWeight));
        font.italic = r.u8(at + FIELD(U_LOGFONT, lfItalic)) != 0;
        font.underline = r.u8(at + FIELD(U_LOGFONT, lfUnderline)) != 0;
        font.strikeOut = r.u8(at + FIELD(U_LOGFONT, lfStrikeOut)) != 0;
        font.charset = r.u8(at + FIELD(U_LOGFONT, lfCharSet));
        font.face = utf16Text(r, at + FIELD(U_LOGFONT, lfFaceName), U_LF_FACESIZE);
        store(r.u32(FIELD(U_EMREXTCREATEFONTINDIRECTW, ihFont)), font);
    }

    static QString utf16Text(const RecordView& r, std::size_t at, std::size_t count)
    {
        QString text;
        for (std::size_t i = 0; i < count && r.fits(at + 2 * i, 1, 2); ++i) {
            const char16_t unit = r.u16(at + 2 * i);
            if (unit == 0)
                break;
            text.append(QChar(unit));
        }
        return text;
    }

    void textOut(const RecordView& r, bool wide)
    {
        constexpr std::size_t text = FIELD(U_EMREXTTEXTOUTW, emrtext);
        const QPointF reference = pointAt(r, text + FIELD(U_EMRTEXT, ptlReference));
        const std::uint32_t count = r.u32(text + FIELD(U_EMRTEXT, nChars));
        const std::uint32_t offset = r.u32(text + FIELD(U_EMRTEXT, offString));
        if (!r.fits(offset, count, wide ? 2 : 1))
            return;
        canvas.text(reference, count, [&] {
            return wide ? utf16Text(r, offset, count) : ansiText(r, offset, count, canvas.state().font.charset);
        });
    }

    void stretchDiBits(const RecordView& r)
    {
        using Record = U_EMRSTRETCHDIBITS;
        if (!usesSource(r.u32(FIELD(Record, dwRop))))
            return;
        const QImage image = recordDib(r, FIELD(Record, iUsageSrc), FIELD(Record, offBmiSrc),
                                       FIELD(Record, offBitsSrc));
        const QRectF dest(pointAt(r, FIELD(Record, Dest)),
                          QSizeF(r.i32(FIELD(Record, cDest.x)), r.i32(FIELD(Record, cDest.y))));
        canvas.image(dest, image, sourceRect(image, r, FIELD(Record, Src), FIELD(Record, cSrc)));
    }

    // BITBLT has no source size: it is the destination's.
    void bitBlt(const RecordView& r, bool stretched)
    {
        using Record = U_EMRSTRETCHBLT;
        if (!usesSource(r.u32(FIELD(Record, dwRop))))
            return;
        const QImage image = recordDib(r, FIELD(Record, iUsageSrc), FIELD(Record, offBmiSrc),
                                       FIELD(Record, offBitsSrc));
        const QRectF dest(pointAt(r, FIELD(Record, Dest)),
                          QSizeF(r.i32(FIELD(Record, cDest.x)), r.i32(FIELD(Record, cDest.y))));
        canvas.image(dest, image,
                     sourceRect(image, r, FIELD(Record, Src), stretched ? FIELD(Record, cSrc) : FIELD(Record, cDest)));
    }

    // A DIB stored bottom-up counts the source's y from its bottom edge.
    // Values are kept far inside int so that no sum of them overflows.
    static QRect sourceRect(const QImage& image, const RecordView& r, std::size_t originAt, std::size_t sizeAt)
    {
        static constexpr std::int64_t limit = 1 << 28;
        auto field = [&r](std::size_t at) { return std::clamp<std::int64_t>(r.i32(at), -limit, limit); };
        const std::int64_t x = field(originAt), y = field(originAt + 4);
        const std::int64_t width = field(sizeAt), height = field(sizeAt + 4);
        return QRect(int(x), int(image.height() - y - height), int(width), int(height));
    }

    MetafileCanvas& canvas;
    std::unordered_map<std::uint32_t, GdiObject> objects;
};

} // namespace

MetafileSize inspectEmf(const QByteArray& bytes)
{
    const RecordView file(bytes);
    const EmfHeader header = readHeader(file);
    forEachRecord(file, [](std::uint32_t, const RecordView&) { return true; });
    const QRect& frame = header.frame;
    MetafileSize size;
    if (frame.right() > frame.left() && frame.bottom() > frame.top()) {
        size.width = static_cast<int>(
            std::lround((double(frame.right()) - frame.left()) * screenDotsPerInch / hundredthsOfMmPerInch));
        size.height = static_cast<int>(
            std::lround((double(frame.bottom()) - frame.top()) * screenDotsPerInch / hundredthsOfMmPerInch));
    } else {
        const QRect& b = header.bounds;
        size.width = static_cast<int>(std::clamp(double(b.right()) - b.left() + 1, 0.0, double(INT32_MAX)));
        size.height = static_cast<int>(std::clamp(double(b.bottom()) - b.top() + 1, 0.0, double(INT32_MAX)));
    }
    return size;
}

MetafilePlayback playEmf(const QByteArray& bytes, QImage& target, const QRect& rect)
{
    const RecordView file(bytes);
    const EmfHeader header = readHeader(file);
    const QTransform toRect = deviceToRect(deviceFrame(header), rect);
    MetafileCanvas canvas(target, rect, [&header, toRect](const GdiMapping& mapping) {
        return mapping.world * pageToDevice(mapping, header) * toRect;
    });
    EmfPlayer player(canvas);
    return playWithinBudget(canvas, player, [&file](auto visit) {
        forEachRecord(file, [&visit](std::uint32_t type, const RecordView& record) { return visit(type, record); });
    });
}
