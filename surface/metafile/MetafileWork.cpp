// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/metafile/MetafileWork.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace {

constexpr double recordWork = 100, recordByteWork = 3, pointWork = 240;
constexpr double shapeWork = 8000, wideShapeWork = 10000;
constexpr double solidPixelWork = 1, patternPixelWork = 12;
constexpr double linePixelWork = 24, segmentWork = 200;
constexpr double edgeWork = 400;
constexpr double dashWork = 700, visibleDashWork = 5000, mostDashes = 10000;
constexpr double curveWork = 8000, curveLengthWork = 600, longestCurve = 1e8;
constexpr double ellipseOutlineWork = 32;
constexpr double textWork = 48000, characterWork = 2000, cachedGlyphPixelWork = 8, outlinedGlyphWork = 48000;
constexpr double turnedGlyphWork = 200000, turnedGlyphPixelWork = 320;
constexpr double largestCachedGlyph = 64, antialiasedEdgeWeight = 3;
constexpr double dibPixelWork = 40, imagePixelWork = 2;

// One edge in one pixel row, with edges in the row in all.
double edgeRowWork(double edges) { return std::min(40 + 8 * edges, 12000.0); }

double length(QPointF from, QPointF to)
{
    const QPointF d = to - from;
    return std::sqrt(d.x() * d.x() + d.y() * d.y());
}

// Coordinates far outside any target, brought into int range.
int row(double y) { return static_cast<int>(std::floor(std::clamp(y, -1e9, 1e9))); }

// Calls segment(from, to) for every segment of the lines, in target pixels.
template <typename Lines, typename Segment>
void forEachSegment(const Lines& lines, bool closed, const QTransform& toTarget, Segment&& segment)
{
    for (const QPolygonF& line : lines) {
        if (line.isEmpty())
            continue;
        const QPointF start = toTarget.map(line.front());
        QPointF from = start;
        for (qsizetype i = 1; i < line.size(); ++i) {
            const QPointF to = toTarget.map(line[i]);
            segment(from, to);
            from = to;
        }
        if (closed)
            segment(from, start);
    }
}

} // namespace

DrawWork::DrawWork(const QRect& clip)
    : clip(clip), diagonal(std::hypot(clip.width(), clip.height())),
      edgesInRow(static_cast<std::size_t>(std::max(clip.height(), 0)) + 1, 0.0), firstRow(clip.bottom()),
      lastRow(clip.top())
{
}

bool DrawWork::charge(double units)
{
    if (exhausted || !(units <= double(budget - used))) {
        exhausted = true;
        return false;
    }
    used += static_cast<std::int64_t>(std::ceil(units));
    return true;
}

double DrawWork::record(std::size_t bytes) { return recordWork + recordByteWork * double(bytes); }

double DrawWork::points(std::size_t count) { return pointWork * double(count); }

double DrawWork::shape(const std::vector<QPolygonF>& outlines, OutlineKind kind, const QTransform& toTarget,
                       const QPen& pen, const QBrush& brush)
{
    const bool stroked = pen.style() != Qt::NoPen, wide = stroked && pen.widthF() >= 1;
    double work = wide ? wideShapeWork : shapeWork;
    if (brush.style() != Qt::NoBrush)
        work += fill(outlines, toTarget, brush.style() != Qt::SolidPattern);
    if (stroked)
        work += wide ? wideLines(outlines, kind, toTarget, pen) : thinLines(outlines, kind, toTarget);
    if (wide && kind == OutlineKind::curves)
        work += curves(outlines, toTarget);
    return work;
}

// The painter walks the whole outline of an ellipse up to 2^23 pixels wide
// or high; larger ones it draws as curves, clipped.
double DrawWork::ellipse(const QRectF& box)
{
    constexpr double longestWalk = 2 * 8388608.0;
    return ellipseOutlineWork * std::min(std::abs(box.width()) + std::abs(box.height()), longestWalk);
}

double DrawWork::pixel() { return shapeWork; }

void DrawWork::addEdge(double top, double bottom, double cells)
{
    edgeCount += 1;
    const int from = std::max(row(top), clip.top()), to = std::min(row(bottom), clip.bottom());
    if (from > to)
        return;
    edgesInRow[static_cast<std::size_t>(from - clip.top())] += cells;
    edgesInRow[static_cast<std::size_t>(to - clip.top() + 1)] -= cells;
    firstRow = std::min(firstRow, from);
    lastRow = std::max(lastRow, to + 1);
}

// Every edge costs, and every row of the clip it crosses by the number of
// edges in that row (or, antialiased, of the pixels their crossings cover).
// Takes the edges added since the last call.
double DrawWork::edgeRows(double weight)
{
    double work = edgeWork * edgeCount, inRow = 0;
    for (int r = firstRow; r <= lastRow; ++r) {
        double& change = edgesInRow[static_cast<std::size_t>(r - clip.top())];
        inRow += change;
        change = 0;
        work += weight * inRow * edgeRowWork(inRow);
    }
    edgeCount = 0;
    firstRow = clip.bottom();
    lastRow = clip.top();
    return work;
}

double DrawWork::clippedArea(const QRectF& box) const
{
    const QRectF visible = box.normalized() & QRectF(clip);
    return visible.isEmpty() ? 0 : (visible.width() + 1) * (visible.height() + 1);
}

double DrawWork::fill(const std::vector<QPolygonF>& outlines, const QTransform& toTarget, bool patterned)
{
    double left = INFINITY, top = INFINITY, right = -INFINITY, bottom = -INFINITY;
    forEachSegment(outlines, true, toTarget, [&](QPointF from, QPointF to) {
        addEdge(std::min(from.y(), to.y()), std::max(from.y(), to.y()));
        left = std::min(left, from.x());
        right = std::max(right, from.x());
        top = std::min(top, from.y());
        bottom = std::max(bottom, from.y());
    });
    const double area = left > right ? 0 : clippedArea(QRectF(QPointF(left, top), QPointF(right, bottom)));
    return edgeRows() + area * (patterned ? patternPixelWork : solidPixelWork);
}

// The painter walks the part of a line inside the clip, which is no longer
// than the clip's diagonal.
double DrawWork::thinLines(const std::vector<QPolygonF>& lines, OutlineKind kind, const QTransform& toTarget) const
{
    double work = 0;
    forEachSegment(lines, kind == OutlineKind::closed, toTarget, [&](QPointF from, QPointF to) {
        work += segmentWork + linePixelWork * std::min(length(from, to), diagonal);
    });
    return work;
}

// A wide line is filled as a polygon: two sides along each segment, and the
// joins and ends across it. Dashes are a polygon each, at least every three
// pen widths, the painter giving up on dashing beyond some ten thousand.
double DrawWork::wideLines(const std::vector<QPolygonF>& lines, OutlineKind kind, const QTransform& toTarget,
                           const QPen& pen)
{
    const double width = pen.widthF(), half = width / 2, clipArea = double(clip.width()) * clip.height();
    const bool dashed = pen.style() != Qt::SolidLine;
    double work = 0;
    forEachSegment(lines, kind == OutlineKind::closed, toTarget, [&](QPointF from, QPointF to) {
        const double top = std::min(from.y(), to.y()) - half, bottom = std::max(from.y(), to.y()) + half;
        addEdge(top, bottom);
        addEdge(top, bottom);
        addEdge(from.y() - half, from.y() + half);
        addEdge(to.y() - half, to.y() + half);
        const double whole = length(from, to), visible = std::min(whole, diagonal);
        work += segmentWork + std::min((visible + width) * width, clipArea);
        if (dashed)
            work += dashWork * std::min(whole / (3 * width) + 1, mostDashes)
                    + visibleDashWork * (visible / (3 * width) + 1);
    });
    return work + edgeRows();
}

// A wide curve is cut into straight pieces, more the longer it is (its
// control polygon is at least as long).
double DrawWork::curves(const std::vector<QPolygonF>& outlines, const QTransform& toTarget) const
{
    double work = 0;
    for (const QPolygonF& points : outlines)
        for (qsizetype i = 0; i + 3 < points.size(); i += 3) {
            const QPointF p0 = toTarget.map(points[i]), p1 = toTarget.map(points[i + 1]);
            const QPointF p2 = toTarget.map(points[i + 2]), p3 = toTarget.map(points[i + 3]);
            const double controlLength = length(p0, p1) + length(p1, p2) + length(p2, p3);
            work += curveWork + curveLengthWork * std::sqrt(std::min(controlLength, longestCurve));
        }
    return work;
}

double DrawWork::characters(std::size_t count) { return textWork + characterWork * double(count); }

// Small glyphs are drawn from the painter's glyph cache. Larger ones are
// filled as outlines, antialiased, all the line's glyphs as one polygon:
// what that takes is known from the outlines, built once their building
// is paid for. Turned, they are loaded afresh for every line, and cost more
// the larger they are.
bool DrawWork::chargeGlyphs(const QString& text, const QFont& font, QPointF at, const QTransform& placing,
                            const QRectF& box)
{
    const double glyphs = double(text.size()), pixelSize = font.pixelSize();
    const double boxWork = clippedArea(placing.mapRect(box)) * solidPixelWork;
    if (pixelSize < largestCachedGlyph)
        return charge(boxWork + glyphs * cachedGlyphPixelWork * pixelSize * pixelSize);
    const bool turned = placing.type() > QTransform::TxScale;
    const double outlineWork = turned ? turnedGlyphWork + turnedGlyphPixelWork * pixelSize : outlinedGlyphWork;
    if (!charge(boxWork + glyphs * outlineWork))
        return false;
    QPainterPath outlines;
    outlines.addText(at, font, text);
    forEachSegment(outlines.toSubpathPolygons(), false, placing, [&](QPointF from, QPointF to) {
        const double dx = std::abs(to.x() - from.x()), dy = std::abs(to.y() - from.y());
        addEdge(std::min(from.y(), to.y()), std::max(from.y(), to.y()), dy >= 1 ? 1 + dx / dy : dx + dy);
    });
    return charge(edgeRows(antialiasedEdgeWeight));
}

double DrawWork::dib(std::int64_t pixels) { return dibPixelWork * double(pixels); }

double DrawWork::image(const QRect& visible, const QSize& piece)
{
    return imagePixelWork * (double(visible.width()) * visible.height() + double(piece.width()) * piece.height());
}
