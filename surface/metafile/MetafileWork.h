// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The work one draw of a metafile may do.
//
// A metafile is a list of drawing commands, and a record of a few bytes can
// ask for a lot: a rectangle over the whole picture, a 4000-pixel pen, a
// polygon of 60 000 points, a line of text at 4000 pixels. A file of a few
// megabytes holds hundreds of thousands of records. So every draw counts
// what it does in work units and has a fixed budget of them: before a
// record is read, and before anything is painted, its work is estimated and
// taken from the budget. When it does not fit, that thing is not done and
// nothing after it is: the picture shows what was drawn up to there, and
// the draw succeeds. (A draw runs while a picture is opened, where a failure
// would lose a picture of which most was drawn.)
//
// A unit is about an eighth of a nanosecond of the painter's time on the
// machine the costs were measured on, so the budget of 2^31 units is about
// a quarter of a second there. The estimates are upper bounds of what the
// painter does for each call, in units:
//   a record read and dispatched       100, and 3 a byte
//   a point of a poly record read      240
//   a shape handed to the painter      8000 (10000 with a wide pen)
//   a filled pixel of the shape's box  1 with a solid brush, 12 with a
//                                      hatch or pattern
//   a polygon edge                     400, and in every pixel row it
//                                      crosses 40 + 8 for each edge in that
//                                      row, at most 12000 (the painter keeps
//                                      a row's edges in order)
//   a one-pixel line                   200 a segment, 24 a pixel of it
//   a wide line                        200 a segment and its pixels; the
//                                      polygon around each segment; a dash
//                                      700, or 5000 where it can show; a
//                                      curve 8000 + 600 a square root of
//                                      its length
//   an ellipse's outline               32 a pixel of its width and height,
//                                      up to 2^24 pixels
//   a line of text                     48000, 2000 a character, and its box;
//                                      a glyph below 64 pixels 8 a pixel of
//                                      its square, a larger one 48000 (turned,
//                                      200000 + 320 a pixel of its size) and
//                                      its outline's edges, three times over
//                                      and by the pixels they cross
//   a bitmap                           40 a pixel decoded, 2 a pixel copied
//                                      or drawn
// An ordinary picture of thousands of shapes and lines of text takes a few
// hundred million units; the budget stops the records that paint the whole
// picture over and over, or load the painter with edges.
#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPolygonF>
#include <QRect>
#include <QTransform>
#include <cstddef>
#include <cstdint>
#include <vector>

// How the points of an outline join.
enum class OutlineKind {
    open,   // straight segments
    closed, // straight segments, the last back to the first
    curves, // cubic Bézier segments: a start, then three points each
};

class DrawWork {
public:
    static constexpr std::int64_t budget = std::int64_t{1} << 31;

    // Work of drawing into clip (target pixels).
    explicit DrawWork(const QRect& clip);

    // Takes units from the budget. False, taking nothing, when they do not
    // fit; from then on the budget is spent and every charge fails.
    bool charge(double units);
    bool spent() const { return exhausted; }
    std::int64_t done() const { return used; }

    // Estimates, in units, of:
    // reading a record of bytes, and count points of a poly record;
    static double record(std::size_t bytes);
    static double points(std::size_t count);
    // a shape: outlines in logical units placed in the target by toTarget,
    // filled with brush and drawn along with pen (cosmetic, width in target
    // pixels, 0 for one pixel);
    double shape(const std::vector<QPolygonF>& outlines, OutlineKind kind, const QTransform& toTarget, const QPen& pen,
                 const QBrush& brush);
    // what the painter adds for an ellipse placed in the target at box;
    static double ellipse(const QRectF& box);
    // setting one pixel;
    static double pixel();
    // laying out count characters of text;
    static double characters(std::size_t count);
    // decoding a bitmap of pixels; copying piece of it and drawing it over
    // visible (target pixels).
    static double dib(std::int64_t pixels);
    static double image(const QRect& visible, const QSize& piece);

    // Charges drawing the glyphs of text in font at `at`, with their box,
    // placed in the target by placing; false when they do not fit.
    bool chargeGlyphs(const QString& text, const QFont& font, QPointF at, const QTransform& placing, const QRectF& box);

private:
    double fill(const std::vector<QPolygonF>& outlines, const QTransform& toTarget, bool patterned);
    double thinLines(const std::vector<QPolygonF>& lines, OutlineKind kind, const QTransform& toTarget) const;
    double wideLines(const std::vector<QPolygonF>& lines, OutlineKind kind, const QTransform& toTarget,
                     const QPen& pen);
    double curves(const std::vector<QPolygonF>& outlines, const QTransform& toTarget) const;
    void addEdge(double top, double bottom, double cells = 1);
    double edgeRows(double weight = 1);
    double clippedArea(const QRectF& box) const;

    QRect clip;
    double diagonal;
    std::int64_t used = 0;
    bool exhausted = false;
    // The edges of the shape being estimated: in each row of the clip, the
    // change in their count from the row above (in cells, antialiased),
    // over rows firstRow to lastRow; all 0 between estimates.
    std::vector<double> edgesInRow;
    int firstRow, lastRow;
    double edgeCount = 0;
};
