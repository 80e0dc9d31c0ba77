// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Measuring without rectangles: the shapes lying on a sheet of paper are found
// on the picture itself, one of them is taken as the reference by its shape,
// and every other one large enough is an object.
//
//   paper level   a smooth colour surface fitted to the paper, so a lighting
//                 gradient or a soft shadow does not move it
//   regions       pixels standing out from that surface, 8-connected; each
//                 region's own colour against the paper sets its limit
//                 halfway between the two, so holes stay holes and thin
//                 stalks stay attached
//   reference     the region whose outline best fits a disc or a square of
//                 plausible size; its area in pixels comes from that fitted
//                 outline (highlights, a lighter rim or embossing inside it
//                 do not count against it)
//   objects       the other regions larger than the minimum area, numbered
//                 in reading order
//
// All coordinates are the given picture's own pixels; boxes are L,T,R,B with
// the right and bottom edges exclusive.
#include "cli/find/ReducedCopy.h"
#include "cli/find/ReferenceShape.h"

#include <QImage>
#include <QPointF>
#include <QPolygon>
#include <QPolygonF>
#include <QRect>
#include <cstdint>
#include <vector>

struct FindSettings {
    ReferenceShape shape = ReferenceShape::Disc;
    // Known area of the reference and the smallest object area kept, in the
    // same unit (an object must be larger than minArea).
    double referenceArea = 3.14;
    double minArea = 0.1;
    // The picture searched is a working image shrunk from a larger one by
    // taking each pixel's nearest source pixel: an edge along its rows or
    // columns lies up to half a pixel off, which a narrow shape feels.
    bool shrunk = false;
};

struct FoundReference {
    ReferenceShape shape = ReferenceShape::Disc;
    double pixelArea = 0; // of the fitted outline
    QPolygonF outline;    // the fitted disc (as a fine polygon) or square
    QRect box;
};

struct FoundObject {
    int number = 0;        // 1, 2, ... in reading order
    std::int64_t dots = 0; // pixels of the object, holes left out
    QRect box;             // its bounding rectangle, L,T,R,B exclusive
    bool touchesEdge = false;
    bool thin = false;             // only a few pixels wide: its area is uncertain
    bool faintBeside = false;      // something fainter beside it, left out, may be part of it
    bool againstReference = false; // it touches the reference (or is its shadow)
    std::vector<QPolygon> outline; // outer outline first, then those of its holes
    double area = 0;               // dots in the reference's unit
};

struct FindResult {
    FoundReference reference;
    std::vector<FoundObject> objects; // in reading order
    bool referenceAmbiguous = false;  // a second candidate fitted as well
    bool referenceShadow = false;     // see ShapeFit::outlineDoubtful and rimBlurredIntoEdge
};

// Finds the reference and the objects on picture. Throws PlanixError with
// "no reference found" when no region fits the reference's shape.
FindResult findObjects(const QImage& picture, const FindSettings& settings);
// The same with the reduced copy made while picture (32-bit RGB) was drawn;
// one that does not belong to it is made again.
FindResult findObjects(const QImage& picture, const ReducedCopy& reduced, const FindSettings& settings);

// Turns OpenCV's own thread pool off for the whole program, so that the
// analysis of a picture runs wholly on the thread that asked for it. A batch's
// workers are then the only parallelism: no picture's work is split across
// threads or interleaved with another's, and its numbers cannot depend on
// what the other workers do at the time.
void analyseOnCallingThreads();

// Reading order of boxes: rows from top to bottom, each row left to right.
// A box belongs to the row of the topmost box still unplaced when its middle
// lies within that box's height. Returns the indices of boxes in that order.
std::vector<int> readingOrder(const std::vector<QRect>& boxes);
