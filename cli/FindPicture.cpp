// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "cli/FindPicture.h"

#include "base/PlanixError.h"
#include "cli/Measure.h"
#include "cli/find/MarkedView.h"
#include "cli/report/Report.h"
#include "measure/Area.h"
#include "measure/Fit.h"
#include "measure/WorkingImage.h"
#include "surface/pixels/Picture.h"
#include "surface/readers/PictureFile.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

#include <sys/mman.h>

namespace {

// A box on the working image as the part of the picture it covers.
QRect onPicture(const QRect& box, QSize own, QSize counted)
{
    if (own == counted || counted.isEmpty())
        return box;
    const double sx = double(own.width()) / counted.width(), sy = double(own.height()) / counted.height();
    const QPoint topLeft(int(std::floor(box.left() * sx)), int(std::floor(box.top() * sy)));
    const QPoint end(int(std::ceil((box.right() + 1) * sx)), int(std::ceil((box.bottom() + 1) * sy)));
    return QRect(topLeft, end - QPoint(1, 1)) & QRect(QPoint(0, 0), own);
}

// Memory for a picture at its own size of bytes, kept by this thread for
// its next picture: the pictures of a batch then reuse pages already mapped
// instead of faulting in fresh ones, picture after picture. Valid until this
// thread's next call.
uchar* keptBuffer(std::size_t bytes)
{
    struct Freed {
        void operator()(uchar* p) const { std::free(p); }
    };
    thread_local std::unique_ptr<uchar, Freed> buffer;
    thread_local std::size_t held = 0;
    if (bytes > held) {
        buffer.reset();
        held = 0;
        // In whole huge pages where the system offers them: a large picture
        // is then mapped in a few hundred faults instead of a few ten
        // thousand.
        constexpr std::size_t hugePage = std::size_t(2) << 20;
        const std::size_t rounded = (bytes + hugePage - 1) / hugePage * hugePage;
        buffer.reset(static_cast<uchar*>(std::aligned_alloc(hugePage, rounded)));
        if (!buffer)
            throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
        madvise(buffer.get(), rounded, MADV_HUGEPAGE);
#endif
        held = rounded;
    }
    return buffer.get();
}

// The picture at its own size (white where it draws nothing); each row goes
// into reduced as soon as it is drawn. A picture of a usual size is drawn
// into memory this thread keeps (valid until its next call); a larger one
// (a scan of 100 million pixels) into memory of its own, given back with
// the image: kept, it would stay taken beside what the other workers are
// given.
QImage ownSizeImage(const Picture& picture, ReducedCopy& reduced)
{
    constexpr std::size_t largestKept = std::size_t(256) << 20;
    const int width = picture.width(), height = picture.height();
    if (width <= 0 || height <= 0)
        return {};
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    QImage image = bytes <= largestKept
                       ? QImage(keptBuffer(bytes), width, height, qsizetype(width) * 4, QImage::Format_RGB32)
                       : QImage(width, height, QImage::Format_RGB32);
    if (image.isNull())
        throw std::bad_alloc();
    if (picture.kind() != PictureKind::Jpeg) // a JPEG drawn at its own size writes every pixel
        image.fill(0xFFFFFFFFu);
    picture.stretchDrawRows(image, image.rect(), [&](int y) { reduced.addRow(image.constScanLine(y)); });
    return image;
}

} // namespace

FoundRows findRows(const QString& file, const QString& path, const MeasureSettings& settings, const FindSettings& find,
                   bool marked, bool view)
{
    PictureRow first;
    first.file = file;
    first.settings = settings;
    MemoryHeld memory; // held while the picture's own-size pixels live
    QImage image;
    bool cutShort = false;
    try {
        const Picture picture = readPictureFile(path);
        cutShort = picture.cutShort();
        const QSize own(picture.width(), picture.height());
        const QSize counted = settings.fullResolution ? own : fittedSize(own.width(), own.height());
        FindResult found;
        if (settings.fullResolution) {
            memory = holdToMeasure(own);
            ReducedCopy reduced(own.width(), own.height());
            image = ownSizeImage(picture, reduced);
            found = findObjects(image, reduced, find);
        } else {
            image = fittedBitmap(picture).image();
            FindSettings onWorkingImage = find;
            onWorkingImage.shrunk = counted != own;
            found = findObjects(image, onWorkingImage);
        }
        first.size = counted;
        first.referencePixels = found.reference.pixelArea;
        if (cutShort)
            first.warnings.add(Warning::PictureCutShort);
        if (found.referenceAmbiguous)
            first.warnings.add(Warning::ReferenceAmbiguous);
        if (found.referenceShadow)
            first.warnings.add(Warning::ReferenceShadow);
        std::vector<PictureRow> rows;
        for (const FoundObject& object : found.objects) {
            PictureRow row = first;
            row.object = object.number;
            row.box = onPicture(object.box, own, counted);
            row.objectDots = std::int32_t(
                std::min<std::int64_t>(object.dots, std::numeric_limits<std::int32_t>::max()));
            const auto area = ruleOfThreeArea(double(object.dots), settings.referenceArea, found.reference.pixelArea);
            row.area = area ? pointDecimalText(*area) : QString();
            if (object.touchesEdge)
                row.warnings.add(Warning::ObjectTouchesPictureEdge);
            if (object.thin)
                row.warnings.add(Warning::ObjectThin);
            if (object.faintBeside)
                row.warnings.add(Warning::ObjectFaintBeside);
            if (object.againstReference)
                row.warnings.add(Warning::ObjectTouchesReference);
            rows.push_back(row);
        }
        if (rows.empty()) {
            first.warnings.add(Warning::NoObject);
            rows.push_back(first);
        }
        FoundRows result{rows, QImage(), memory};
        if (marked || view) {
            const QImage drawn = markedView(image, found);
            if (marked)
                result.marked = drawn;
            if (view)
                result.rows.front().view = reportImage(drawn);
        }
        return result;
    } catch (const PlanixError& error) {
        PictureRow failed;
        failed.file = file;
        failed.settings = settings;
        failed.error = error.message();
        if (cutShort) // the reference may lie in what the file lacks
            failed.warnings.add(Warning::PictureCutShort);
        if (view && !image.isNull())
            failed.view = reportImage(image); // the picture as it was searched
        return {{failed}, QImage(), MemoryHeld()};
    }
}
