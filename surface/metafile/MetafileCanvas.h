// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The drawing state a metafile plays against (what GDI calls a device
// context), drawn with QPainter into a rectangle of a 32-bit RGB image.
// The WMF and EMF players turn records into calls of this class; it knows
// pens, brushes, fonts, the current position, text settings, the saved
// states, and takes coordinates in the metafile's logical units.
#include "surface/metafile/MetafileBytes.h"
#include "surface/metafile/MetafilePlayers.h"
#include "surface/metafile/MetafileWork.h"

#include <QColor>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QTransform>
#include <functional>
#include <variant>
#include <vector>

struct GdiPen {
    unsigned style = 0; // PS_SOLID ... PS_INSIDEFRAME, low 4 bits
    double width = 0;   // logical units; 0 or 1: one pixel
    QColor colour = Qt::black;
};

struct GdiBrush {
    unsigned style = 0; // BS_SOLID, BS_NULL, BS_HATCHED, patterns
    unsigned hatch = 0;
    QColor colour = Qt::white;
    QImage pattern; // BS_PATTERN / BS_DIBPATTERN
};

struct GdiFont {
    int height = 0; // logical units; 0: the default size
    int weight = 400;
    int escapement = 0; // tenths of a degree, counter-clockwise
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0; // 128: Shift-JIS
    QString face;
};

// What a metafile's object table holds; palettes and regions take a place
// in the table but draw nothing.
using GdiObject = std::variant<std::monostate, GdiPen, GdiBrush, GdiFont>;

// Where logical coordinates go: window and viewport (origin, extent), the
// mapping mode and EMF's world transform. The player turns this into the
// transform to target pixels.
struct GdiMapping {
    QPointF windowOrg, windowExt{1, 1};
    QPointF viewportOrg, viewportExt{1, 1};
    int mapMode = 1; // MM_TEXT
    QTransform world;
};

struct GdiState {
    GdiPen pen;
    GdiBrush brush;
    GdiFont font;
    GdiMapping mapping;
    QColor textColour = Qt::black;
    QColor backColour = Qt::white;
    bool opaqueBack = true;   // BKMODE OPAQUE
    bool windingFill = false; // POLYFILLMODE WINDING
    unsigned textAlign = 0;
    QPointF position;
};

// Text of a WMF record or an EMF ...A record in the font's character set
// (Shift-JIS for charset 128, else Latin-1); stops at the first NUL.
QString ansiText(const RecordView& record, std::size_t at, std::size_t count, int charset);

// A COLORREF, 0x00BBGGRR.
QColor colourRef(std::uint32_t value);

class MetafileCanvas {
public:
    using MappingToTarget = std::function<QTransform(const GdiMapping&)>;

    // Draws into rect of target, clipped to it.
    MetafileCanvas(QImage& target, const QRect& rect, MappingToTarget mapping);

    GdiState& state() { return current; }

    // Takes a record of bytes from the draw's work budget (MetafileWork.h);
    // false once the budget is spent, when the player stops there. Every
    // drawing call below takes its own work, and draws nothing when the
    // work does not fit.
    bool playRecord(std::size_t bytes);
    const DrawWork& work() const { return budget; }

    // A DIB (BITMAPINFO with its colour table, then the pixels) as an image,
    // or a null image when it is broken, uses palette indexes, declares more
    // pixels than its bytes can hold, or its decoding does not fit the budget.
    QImage dib(const RecordView& info, const RecordView& bits);
    // The same for a packed DIB: info, colour table and pixels in one run.
    QImage packedDib(const RecordView& packed);
    // Whether reading count points of a record fits the budget.
    bool affordPoints(std::size_t count);

    // Makes a pen, brush or font the current one; anything else is ignored.
    void selectObject(const GdiObject& object);

    void saveState();
    // n < 0: the state saved -n saves ago; n > 0: the n-th saved state.
    void restoreState(int n);

    void moveTo(QPointF p) { current.position = p; }
    void lineTo(QPointF p);
    void polyline(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    // Cubic Bézier segments: start, then three points a segment.
    void polyBezier(const QPolygonF& points);
    void rectangle(const QRectF& box);
    void ellipse(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void setPixel(QPointF p, QColor colour);
    // Text of up to count characters, which decode gives once their layout
    // fits the work budget.
    void text(QPointF reference, std::size_t count, const std::function<QString()>& decode);
    // Draws source (part of image) stretched over the logical rectangle dest.
    void image(const QRectF& dest, const QImage& image, const QRect& source);

private:
    bool preparePainter(bool withPen, bool withBrush);
    bool affordShape(const std::vector<QPolygonF>& outlines, OutlineKind kind, double extra = 0);
    QPen qtPen(const QTransform& toTarget) const;
    QBrush qtBrush() const;
    QFont qtFont(double pixelSize) const;
    QPointF textOrigin(const QFontMetricsF& metrics, double width) const;

    MappingToTarget mapping;
    QRect clip; // the target rectangle inside the target
    DrawWork budget;
    QPainter painter;
    GdiState current;
    std::vector<GdiState> saved;
};

// Plays the records forEachRecord walks through player for as long as the
// draw's work budget lasts (forEachRecord stops when its visitor returns
// false), and tells what the draw did.
template <class Player, class ForEachRecord>
MetafilePlayback playWithinBudget(MetafileCanvas& canvas, Player& player, ForEachRecord forEachRecord)
{
    MetafilePlayback playback;
    forEachRecord([&](auto type, const RecordView& record) {
        if (!canvas.playRecord(record.size()))
            return false;
        player.play(type, record);
        ++playback.records;
        return true;
    });
    playback.work = canvas.work().done();
    playback.whole = !canvas.work().spent();
    return playback;
}
