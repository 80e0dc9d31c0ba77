// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/metafile/MetafilePlayers.h"

#include "surface/metafile/MetafileCanvas.h"

#include <set>
#include <uwmf.h>

// WMF records: a 32-bit size in 16-bit words, a 16-bit function whose low
// byte is the record type (U_WMR_*), then 16-bit parameters, most of them
// in reverse order (y before x, bottom-right before top-left).

namespace {

constexpr std::uint32_t placeableKey = 0x9AC6CDD7;
constexpr std::size_t placeableBytes = U_SIZE_WMRPLACEABLE;
constexpr std::size_t headerBytes = U_SIZE_WMRHEADER;
constexpr std::size_t recordHeaderBytes = 6; // size, function
constexpr int screenDotsPerInch = 96;

struct WmfLayout {
    bool placeable = false;
    QRect box; // placeable: the bounding box in its units
    int unitsPerInch = 0;
    std::size_t firstRecord = 0;
};

WmfLayout wmfLayout(const RecordView& file)
{
    WmfLayout layout;
    std::size_t at = 0;
    if (file.size() >= 4 && file.u32(0) == placeableKey) {
        if (file.size() < placeableBytes)
            throw metafileCut();
        layout.placeable = true;
        const int left = file.i16(6), top = file.i16(8), right = file.i16(10), bottom = file.i16(12);
        layout.box = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
        layout.unitsPerInch = file.u16(14);
        at = placeableBytes;
    }
    if (file.size() < at + headerBytes)
        throw metafileCut();
    const std::uint16_t type = file.u16(at), headerWords = file.u16(at + 2);
    if ((type != 1 && type != 2) || headerWords != headerBytes / 2 || (layout.placeable && layout.unitsPerInch == 0))
        throw metafileInvalid();
    layout.firstRecord = at + headerBytes;
    return layout;
}

// Calls visit(type, record) for every record before the end-of-file record
// (or the end of the bytes) until it returns false; throws when a record
// does not fit.
template <typename Visit>
void forEachRecord(const RecordView& file, std::size_t at, Visit&& visit)
{
    while (at < file.size()) {
        if (file.size() - at < recordHeaderBytes)
            throw metafileCut();
        const std::uint32_t words = file.u32(at);
        if (words < recordHeaderBytes / 2)
            throw metafileInvalid();
        if (words > (file.size() - at) / 2)
            throw metafileCut();
        const RecordView record = file.slice(at, std::size_t{words} * 2);
        const unsigned type = record.u16(4) & 0xFF;
        if (type == U_WMR_EOF || !visit(type, record))
            return;
        at += std::size_t{words} * 2;
    }
}

QPointF pointAt(const RecordView& record, std::size_t at) // x, y
{
    return QPointF(record.i16(at), record.i16(at + 2));
}

QPointF reversedPointAt(const RecordView& record, std::size_t at) // y, x
{
    return QPointF(record.i16(at + 2), record.i16(at));
}

QRectF reversedBoxAt(const RecordView& record, std::size_t at) // bottom, right, top, left
{
    const QPointF bottomRight = reversedPointAt(record, at), topLeft = reversedPointAt(record, at + 4);
    return QRectF(topLeft, bottomRight);
}

// The points, when they lie inside the record and reading them fits the
// draw's work budget.
QPolygonF pointsAt(MetafileCanvas& canvas, const RecordView& record, std::size_t at, std::size_t count)
{
    QPolygonF points;
    if (!record.fits(at, count, 4) || !canvas.affordPoints(count))
        return points;
    points.reserve(static_cast<qsizetype>(count));
    for (std::size_t i = 0; i < count; ++i)
        points.append(pointAt(record, at + 4 * i));
    return points;
}

// WMF object table: each new object takes the lowest free index.
class ObjectTable {
public:
    explicit ObjectTable(std::size_t capacity) : capacity(capacity) { }

    void add(GdiObject object)
    {
        std::size_t index = next;
        if (!freed.empty() && *freed.begin() < next) {
            index = *freed.begin();
            freed.erase(freed.begin());
        } else if (next < capacity) {
            ++next;
            objects.resize(next);
        } else {
            return; // table full: GDI would fail the creation
        }
        objects[index] = std::move(object);
    }

    const GdiObject* find(std::size_t index) const
    {
        return index < next && !freed.count(index) ? &objects[index] : nullptr;
    }

    void remove(std::size_t index)
    {
        if (find(index)) {
            objects[index] = std::monostate{};
            freed.insert(index);
        }
    }

private:
    std::size_t capacity;
    std::size_t next = 0; // every index below is in use or freed
    std::set<std::size_t> freed;
    std::vector<GdiObject> objects;
};

GdiPen penRecord(const RecordView& record)
{
    return GdiPen{static_cast<unsigned>(record.u16(6) & 0x0F), static_cast<double>(record.i16(8)),
                  colourRef(record.u32(12))};
}

GdiBrush brushRecord(const RecordView& record)
{
    GdiBrush brush;
    brush.style = record.u16(6);
    brush.colour = colourRef(record.u32(8));
    brush.hatch = record.u16(12);
    return brush;
}

GdiFont fontRecord(const RecordView& record)
{
    constexpr std::size_t faceAt = 24, faceBytes = 32;
    GdiFont font;
    font.height = record.i16(6);
    font.escapement = record.i16(10);
    font.weight = record.i16(14);
    font.italic = record.u8(16) != 0;
    font.underline = record.u8(17) != 0;
    font.strikeOut = record.u8(18) != 0;
    font.charset = record.u8(19);
    const std::size_t available = record.size() > faceAt ? record.size() - faceAt : 0;
    font.face = ansiText(record, faceAt, std::min(faceBytes, available), font.charset);
    return font;
}

// Whether a ternary raster operation reads its source at all.
bool usesSource(std::uint32_t rop)
{
    const unsigned index = (rop >> 16) & 0xFF;
    return ((index >> 2) ^ index) & 0x33;
}

// Source rectangle in the image's top-down rows; a DIB stored bottom-up
// counts ySrc from its bottom edge.
QRect sourceRect(const QImage& image, int x, int y, int width, int height)
{
    return QRect(x, image.height() - y - height, width, height);
}

class WmfPlayer {
public:
    WmfPlayer(MetafileCanvas& canvas, std::size_t objectCapacity) : canvas(canvas), objects(objectCapacity) { }

    void play(unsigned type, const RecordView& r)
    {
        GdiState& state = canvas.state();
        switch (type) {
        case U_WMR_SETWINDOWORG: state.mapping.windowOrg = reversedPointAt(r, 6); break;
        case U_WMR_SETWINDOWEXT: state.mapping.windowExt = reversedPointAt(r, 6); break;
        case U_WMR_SETBKCOLOR: state.backColour = colourRef(r.u32(6)); break;
        case U_WMR_SETBKMODE: state.opaqueBack = r.u16(6) != U_TRANSPARENT; break;
        case U_WMR_SETPOLYFILLMODE: state.windingFill = r.u16(6) == U_WINDING; break;
        case U_WMR_SETTEXTCOLOR: state.textColour = colourRef(r.u32(6)); break;
        case U_WMR_SETTEXTALIGN: state.textAlign = r.u16(6); break;
        case U_WMR_SAVEDC: canvas.saveState(); break;
        case U_WMR_RESTOREDC: canvas.restoreState(r.i16(6)); break;
        case U_WMR_MOVETO: canvas.moveTo(reversedPointAt(r, 6)); break;
        case U_WMR_LINETO: canvas.lineTo(reversedPointAt(r, 6)); break;
        case U_WMR_RECTANGLE: canvas.rectangle(reversedBoxAt(r, 6)); break;
        case U_WMR_ELLIPSE: canvas.ellipse(reversedBoxAt(r, 6)); break;
        case U_WMR_ROUNDRECT: canvas.roundRect(reversedBoxAt(r, 10), QSizeF(r.i16(8), r.i16(6))); break;
        case U_WMR_SETPIXEL: canvas.setPixel(reversedPointAt(r, 10), colourRef(r.u32(6))); break;
        case U_WMR_POLYGON: canvas.polygon(pointsAt(canvas, r, 8, r.u16(6))); break;
        case U_WMR_POLYLINE: canvas.polyline(pointsAt(canvas, r, 8, r.u16(6))); break;
        case U_WMR_POLYPOLYGON: polyPolygon(r); break;
        case U_WMR_TEXTOUT: textOut(r); break;
        case U_WMR_EXTTEXTOUT: extTextOut(r); break;
        case U_WMR_CREATEPENINDIRECT: objects.add(penRecord(r)); break;
        case U_WMR_CREATEBRUSHINDIRECT: objects.add(brushRecord(r)); break;
        case U_WMR_CREATEFONTINDIRECT: objects.add(fontRecord(r)); break;
        case U_WMR_DIBCREATEPATTERNBRUSH: objects.add(dibPatternBrush(r)); break;
        case U_WMR_CREATEPALETTE:
        case U_WMR_CREATEPATTERNBRUSH:
        case U_WMR_CREATEREGION: objects.add(std::monostate{}); break;
        case U_WMR_SELECTOBJECT:
            if (const GdiObject* object = objects.find(r.u16(6)))
                canvas.selectObject(*object);
            break;
        case U_WMR_DELETEOBJECT: objects.remove(r.u16(6)); break;
        case U_WMR_STRETCHDIB: stretchDib(r); break;
        case U_WMR_DIBSTRETCHBLT: dibStretchBlt(r); break;
        case U_WMR_DIBBITBLT: dibBitBlt(r); break;
        default: break;
        }
    }

private:
    GdiBrush dibPatternBrush(const RecordView& r)
    {
        constexpr std::uint16_t DIB_RGB_COLORS = 0;
        GdiBrush brush;
        brush.style = U_BS_DIBPATTERN;
        if (r.u16(8) == DIB_RGB_COLORS)
            brush.pattern = canvas.packedDib(r.slice(10, r.size() - std::min<std::size_t>(10, r.size())));
        if (brush.pattern.isNull())
            brush.style = U_BS_SOLID;
        brush.colour = Qt::black;
        return brush;
    }

    void polyPolygon(const RecordView& r)
    {
        const std::size_t count = r.u16(6);
        if (!r.fits(8, count, 2))
            return;
        std::vector<QPolygonF> polygons;
        std::size_t at = 8 + 2 * count;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t points = r.u16(8 + 2 * i);
            if (!r.fits(at, points, 4))
                break;
            polygons.push_back(pointsAt(canvas, r, at, points));
            at += 4 * points;
        }
        canvas.polyPolygon(polygons);
    }

    void textOut(const RecordView& r)
    {
        const std::size_t length = r.u16(6);
        const std::size_t padded = (length + 1) & ~std::size_t{1};
        canvas.text(reversedPointAt(r, 8 + padded), length,
                    [&] { return ansiText(r, 8, length, canvas.state().font.charset); });
    }

    void extTextOut(const RecordView& r)
    {
        constexpr std::uint16_t withRect = U_ETO_OPAQUE | U_ETO_CLIPPED;
        const std::size_t length = r.u16(10);
        const std::size_t textAt = (r.u16(12) & withRect) ? 22 : 14;
        canvas.text(reversedPointAt(r, 6), length,
                    [&] { return ansiText(r, textAt, length, canvas.state().font.charset); });
    }

    // Parameters of the blits, in the record's order after the raster
    // operation: source height and width (stretching only), source y and x,
    // destination height and width, destination y and x, then the DIB.
    void drawDib(const RecordView& r, std::size_t at, bool stretched, std::uint32_t rop)
    {
        if (!usesSource(rop))
            return;
        int sourceHeight = 0, sourceWidth = 0;
        if (stretched) {
            sourceHeight = r.i16(at);
            sourceWidth = r.i16(at + 2);
            at += 4;
        }
        const int sourceY = r.i16(at), sourceX = r.i16(at + 2);
        const int height = r.i16(at + 4), width = r.i16(at + 6);
        const QPointF dest = reversedPointAt(r, at + 8);
        if (!stretched) {
            sourceHeight = height;
            sourceWidth = width;
        }
        const std::size_t dibAt = at + 12;
        const QImage image = canvas.packedDib(r.slice(dibAt, r.size() - std::min(dibAt, r.size())));
        canvas.image(QRectF(dest, QSizeF(width, height)), image,
                     sourceRect(image, sourceX, sourceY, sourceWidth, sourceHeight));
    }

    void stretchDib(const RecordView& r)
    {
        constexpr std::uint16_t DIB_RGB_COLORS = 0;
        if (r.u16(10) == DIB_RGB_COLORS)
            drawDib(r, 12, true, r.u32(6));
    }

    void dibStretchBlt(const RecordView& r) { drawDib(r, 10, true, r.u32(6)); }
    void dibBitBlt(const RecordView& r) { drawDib(r, 10, false, r.u32(6)); }

    MetafileCanvas& canvas;
    ObjectTable objects;
};

// The window (origin, extent) fills rect.
QTransform windowToRect(const GdiMapping& mapping, const QRect& rect)
{
    const QPointF ext = mapping.windowExt;
    if (ext.x() == 0 || ext.y() == 0)
        return QTransform(0, 0, 0, 0, 0, 0);
    return QTransform::fromTranslate(-mapping.windowOrg.x(), -mapping.windowOrg.y())
           * QTransform::fromScale(rect.width() / ext.x(), rect.height() / ext.y())
           * QTransform::fromTranslate(rect.left(), rect.top());
}

std::size_t objectCapacity(const RecordView& file, const WmfLayout& layout)
{
    return file.u16(layout.firstRecord - headerBytes + 10);
}

} // namespace

MetafileSize inspectWmf(const QByteArray& bytes)
{
    const RecordView file(bytes);
    const WmfLayout layout = wmfLayout(file);
    MetafileSize size;
    bool sized = layout.placeable;
    if (layout.placeable) {
        size.width = static_cast<int>(std::abs(layout.box.width()) * std::int64_t{screenDotsPerInch}
                                      / layout.unitsPerInch);
        size.height = static_cast<int>(std::abs(layout.box.height()) * std::int64_t{screenDotsPerInch}
                                       / layout.unitsPerInch);
    }
    forEachRecord(file, layout.firstRecord, [&](unsigned type, const RecordView& record) {
        if (!sized && type == U_WMR_SETWINDOWEXT) {
            const QPointF extent = reversedPointAt(record, 6);
            size = {static_cast<int>(std::abs(extent.x())), static_cast<int>(std::abs(extent.y()))};
            sized = true;
        }
        return true;
    });
    return size;
}

MetafilePlayback playWmf(const QByteArray& bytes, QImage& target, const QRect& rect)
{
    const RecordView file(bytes);
    const WmfLayout layout = wmfLayout(file);
    MetafileCanvas canvas(target, rect, [rect](const GdiMapping& mapping) { return windowToRect(mapping, rect); });
    if (layout.placeable) {
        canvas.state().mapping.windowOrg = layout.box.topLeft();
        canvas.state().mapping.windowExt = QPointF(layout.box.width(), layout.box.height());
    } else {
        const MetafileSize size = inspectWmf(bytes);
        canvas.state().mapping.windowExt = QPointF(size.width, size.height);
    }
    WmfPlayer player(canvas, objectCapacity(file, layout));
    return playWithinBudget(canvas, player, [&file, &layout](auto visit) {
        forEachRecord(file, layout.firstRecord,
                      [&visit](unsigned type, const RecordView& record) { return visit(type, record); });
    });
}
