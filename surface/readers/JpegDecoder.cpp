// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/readers/JpegDecoder.h"

#include "base/PlanixError.h"
#include "surface/pixels/Stretch.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// The most libjpeg may allocate for one picture. A baseline file of any size
// needs a few rows only; a progressive or multi-scan file holds all its
// coefficients, about 6 bytes a pixel. Beyond this the library stops with
// its own error instead of taking the machine's memory.
constexpr long maxLibraryMemory = 512L * 1024 * 1024;

// The most libjpeg may allocate for a file far too short for its declared
// size (see farTooShort).
constexpr long maxMemoryFarTooShort = 64L * 1024 * 1024;

constexpr int greyLevels = 236;

// libjpeg's error manager with the jump back into the guarded call.
struct ErrorManager {
    jpeg_error_mgr library; // first, so the library's pointer is ours too
    std::jmp_buf escape;
    bool dataExhausted; // a scan ran out of data
};

ErrorManager& errorsOf(j_common_ptr info) { return *reinterpret_cast<ErrorManager*>(info->err); }

[[noreturn]] void leaveLibrary(j_common_ptr info) { std::longjmp(errorsOf(info).escape, 1); }

// Warnings are not shown and decoding goes on; the end of the data (the
// file's, or the scan's at a marker) is noted.
void noteWarning(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        errorsOf(info).dataExhausted = true;
}

void ignoreOutput(j_common_ptr) { }

// A decompressor and its error manager, destroyed with the handle. The
// library objects are created inside the guarded call.
class Decompressor {
public:
    Decompressor()
    {
        info.err = jpeg_std_error(&errors.library);
        errors.library.error_exit = leaveLibrary;
        errors.library.emit_message = noteWarning;
        errors.library.output_message = ignoreOutput;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct info{};
    ErrorManager errors{};
};

// Runs steps(info) with libjpeg's errors caught. Neither this function nor
// the steps hold anything with a destructor, since an error leaves them by
// longjmp. Returns false when the library stopped with an error.
template <typename Steps>
bool runLibrary(Decompressor& decompressor, Steps& steps)
{
    if (setjmp(decompressor.errors.escape))
        return false;
    steps(decompressor.info);
    return true;
}

[[noreturn]] void throwLibraryError(const Decompressor& decompressor)
{
    throw PlanixError(QStringLiteral("JPEG エラー #%1").arg(decompressor.errors.library.msg_code));
}

void openSource(jpeg_decompress_struct& info, const QByteArray& bytes)
{
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = maxLibraryMemory;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
}

bool isGreyscale(const jpeg_decompress_struct& info) { return info.jpeg_color_space == JCS_GRAYSCALE; }

bool isFourChannel(const jpeg_decompress_struct& info)
{
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

// Whether the file declares more pixels than any real photograph of so few
// bytes can hold (even a flat grey picture takes a bit or two a block).
bool farTooShort(const jpeg_decompress_struct& info, qsizetype fileBytes)
{
    constexpr std::uint64_t pixelsPerByteBeyondAnyPhoto = 1024;
    // The header's size: the output size is only known once decoding starts
    // (at scale 1/1 they are the same).
    const std::uint64_t pixels = std::uint64_t{info.image_width} * info.image_height;
    return pixels > pixelsPerByteBeyondAnyPhoto * static_cast<std::uint64_t>(fileBytes);
}

// A file far too short for its size gets little memory, and if greyscale
// is not dithered: the ditherer must see every row, which for a multi-scan
// file declaring tens of millions of pixels costs seconds; its samples take
// the nearest of the same grey levels instead, and the rows nobody samples
// are skipped.
void chooseSettings(jpeg_decompress_struct& info, qsizetype fileBytes)
{
    info.scale_num = 1;
    info.scale_denom = 1;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    info.do_block_smoothing = TRUE;
    // Nor may such a file take more than a little memory: a multi-scan file
    // holds the coefficients of every pixel it declares.
    if (farTooShort(info, fileBytes))
        info.mem->max_memory_to_use = maxMemoryFarTooShort;
    if (isGreyscale(info) && farTooShort(info, fileBytes)) {
        info.out_color_space = JCS_GRAYSCALE;
        info.quantize_colors = FALSE;
    } else if (isGreyscale(info)) {
        info.out_color_space = JCS_GRAYSCALE;
        info.quantize_colors = TRUE;
        info.desired_number_of_colors = greyLevels;
        info.dither_mode = JDITHER_FS;
    } else if (isFourChannel(info)) {
        info.out_color_space = JCS_CMYK; // the library turns YCCK into CMYK
        info.quantize_colors = FALSE;
    } else {
        // The library's RGB, laid out as the bytes of a QRgb.
        info.out_color_space = JCS_EXT_BGRX;
        info.quantize_colors = FALSE;
    }
}

constexpr QRgb opaque(unsigned red, unsigned green, unsigned blue)
{
    return 0xFF000000u | red << 16 | green << 8 | blue;
}

// Adobe's files store CMYK inverted (0 = full ink); others store plain ink.
// c * k / 255 rounded to nearest, as libjpeg's own tools convert.
constexpr unsigned inkProduct(unsigned c, unsigned k) { return (c * k + 127) / 255; }

// The level of the 236 grey levels (0, 255/235, ... 255, each rounded as
// libjpeg's quantiser rounds them) nearest to sample.
constexpr unsigned nearestGreyLevel(unsigned sample)
{
    constexpr unsigned steps = greyLevels - 1;
    const unsigned index = (sample * steps + 127) / 255;
    return (index * 255 + steps / 2) / steps;
}

// What the rows look like and where they go. Plain data only: it lives
// inside the guarded call.
struct RowPlan {
    QImage* target;
    QRect rect;            // whole target rectangle
    QRect visible;         // the part of rect inside target
    const int* columns;    // source column of each visible target column
    bool ownWidth;         // rect as wide as the picture: the columns follow one another
    const RowDrawn* drawn; // told of each row written, or null
};

// One decoded row, already sampled: writes target row y.
void writeSampledRow(const jpeg_decompress_struct& info, const JSAMPLE* row, const QRgb* greyPalette,
                     const RowPlan& plan, int y)
{
    auto* out = reinterpret_cast<QRgb*>(plan.target->scanLine(y)) + plan.visible.left();
    const int count = plan.visible.width();
    if (info.quantize_colors) {
        for (int i = 0; i < count; ++i)
            out[i] = greyPalette[row[plan.columns[i]]];
    } else if (info.out_color_space == JCS_GRAYSCALE) {
        for (int i = 0; i < count; ++i) {
            const unsigned level = nearestGreyLevel(row[plan.columns[i]]);
            out[i] = opaque(level, level, level);
        }
    } else if (info.out_color_space == JCS_CMYK) {
        const bool inverted = info.saw_Adobe_marker;
        for (int i = 0; i < count; ++i) {
            const JSAMPLE* p = row + 4 * plan.columns[i];
            const unsigned k = inverted ? p[3] : 255u - p[3];
            auto channel = [&](JSAMPLE ink) { return inkProduct(inverted ? ink : 255u - ink, k); };
            out[i] = opaque(channel(p[0]), channel(p[1]), channel(p[2]));
        }
    } else if (plan.ownWidth) {
        const JSAMPLE* in = row + 4 * plan.columns[0];
        for (int i = 0; i < count; ++i) {
            QRgb pixel;
            std::memcpy(&pixel, in + 4 * i, sizeof pixel);
            out[i] = 0xFF000000u | pixel;
        }
    } else {
        for (int i = 0; i < count; ++i) {
            QRgb pixel;
            std::memcpy(&pixel, row + 4 * plan.columns[i], sizeof pixel);
            out[i] = 0xFF000000u | pixel;
        }
    }
}

void fillGreyPalette(const jpeg_decompress_struct& info, QRgb* palette)
{
    for (int i = 0; i < info.actual_number_of_colors; ++i) {
        const unsigned level = info.colormap[0][i];
        palette[i] = opaque(level, level, level);
    }
}

// Whether a greyscale file has shown that it lies about its size: a
// single-scan file whose data ran out, declaring more pixels than any
// real photograph of so few bytes can hold. Past the end of its data the
// library decodes nothing but flat mid grey, which is drawn without
// decoding it, so that a file declaring 65500 x 65500 in a few hundred
// bytes costs no more than its bytes. (Colour files skip such rows anyway.)
bool liesAboutItsSize(jpeg_decompress_struct& info, qsizetype fileBytes)
{
    return info.quantize_colors && errorsOf(reinterpret_cast<j_common_ptr>(&info)).dataExhausted
           && !jpeg_has_multiple_scans(&info) && farTooShort(info, fileBytes);
}

// How many source pixels of a single-scan file are still decoded after its
// data ran out; the rows after them are drawn as the library's filler. A
// file cut short that declares a few rows more than it holds decodes exactly
// as the library decodes it, while one that declares billions of pixels in a
// few hundred bytes costs no more than a fraction of a second. (A Huffman
// file's filler is the library's own output, flat mid grey; an arithmetic
// file's decoder goes on inventing samples from nothing, which are not
// worth seconds of work.)
constexpr std::uint64_t pixelsDecodedPastTheData = std::uint64_t{8} << 20;

// The source rows from fillerFrom on hold only the library's filler.
struct Filler {
    JDIMENSION from;
    bool written; // the row buffer holds the filler
};

// Whether the scan's data has ended: the file's bytes ran out, or the
// decoder met a marker other than the restart marker it expects (an
// arithmetic decoder meets a marker without a word and goes on with zeros).
bool dataRanOut(const jpeg_decompress_struct& info)
{
    const int marker = info.unread_marker;
    const bool restart = marker >= JPEG_RST0 && marker <= JPEG_RST0 + 7 && info.restart_interval != 0;
    return errorsOf(reinterpret_cast<j_common_ptr>(const_cast<jpeg_decompress_struct*>(&info))).dataExhausted
           || (marker != 0 && !restart);
}

JDIMENSION nextGroupAfter(const jpeg_decompress_struct& info, JDIMENSION row)
{
    const JDIMENSION group = static_cast<JDIMENSION>(info.max_v_samp_factor * DCTSIZE);
    return (row + group - 1) / group * group + group;
}

// After each row read or skipped: once the file lies about its size, the
// filler starts with the row group after the one where its data ran out (a
// greyscale file), or once the decoder has gone on past its data for
// pixelsDecodedPastTheData (any single-scan file).
void noteFiller(jpeg_decompress_struct& info, qsizetype fileBytes, Filler& filler)
{
    if (filler.from < info.output_height || !dataRanOut(info) || jpeg_has_multiple_scans(&info))
        return;
    if (liesAboutItsSize(info, fileBytes)) {
        filler.from = nextGroupAfter(info, info.output_scanline);
        return;
    }
    const std::uint64_t rows = std::max<std::uint64_t>(1, pixelsDecodedPastTheData / info.output_width);
    const std::uint64_t end = nextGroupAfter(info, info.output_scanline) + rows;
    if (end < info.output_height)
        filler.from = static_cast<JDIMENSION>(end);
}

// The filler row: mid grey samples, or in palette indexes the level nearest
// mid grey.
void writeFillerRow(const jpeg_decompress_struct& info, JSAMPROW row)
{
    constexpr int fillerLevel = 128;
    if (!info.quantize_colors) {
        std::memset(row, fillerLevel, std::size_t(info.output_width) * std::size_t(info.output_components));
        if (info.out_color_space == JCS_EXT_BGRX)
            for (JDIMENSION x = 0; x < info.output_width; ++x)
                row[4 * x + 3] = 0xFF;
        return;
    }
    int nearest = 0;
    for (int i = 0; i < info.actual_number_of_colors; ++i)
        if (std::abs(info.colormap[0][i] - fillerLevel) < std::abs(info.colormap[0][nearest] - fillerLevel))
            nearest = i;
    std::memset(row, nearest, info.output_width);
}

// Brings the decompressor to source row wanted (its next row to read).
// Colour rows nobody samples are skipped (libjpeg-turbo gives the same
// rows as a full decode). Greyscale rows must all pass through the
// ditherer, which carries each row's error into the next, up to the filler.
void advanceTo(jpeg_decompress_struct& info, JDIMENSION wanted, JSAMPARRAY row, qsizetype fileBytes, Filler& filler)
{
    if (wanted <= info.output_scanline)
        return;
    if (!info.quantize_colors) {
        // In steps, so that the end of the data is seen on the way.
        const JDIMENSION step = static_cast<JDIMENSION>(
            std::max<std::uint64_t>(16, pixelsDecodedPastTheData / 4 / info.output_width));
        while (info.output_scanline < wanted && info.output_scanline < filler.from) {
            const JDIMENSION to = std::min({wanted, filler.from, info.output_scanline + step});
            jpeg_skip_scanlines(&info, to - info.output_scanline);
            noteFiller(info, fileBytes, filler);
        }
        return;
    }
    while (info.output_scanline < wanted && info.output_scanline < filler.from) {
        jpeg_read_scanlines(&info, row, 1);
        noteFiller(info, fileBytes, filler);
    }
}

// Makes row hold source row wanted.
void readRow(jpeg_decompress_struct& info, JDIMENSION wanted, JSAMPARRAY row, qsizetype fileBytes, Filler& filler)
{
    if (wanted < info.output_scanline && !filler.written)
        return; // already there: target rows repeat it
    advanceTo(info, wanted, row, fileBytes, filler);
    if (wanted >= filler.from) {
        if (!filler.written)
            writeFillerRow(info, row[0]);
        filler.written = true;
        return;
    }
    jpeg_read_scanlines(&info, row, 1);
    noteFiller(info, fileBytes, filler);
}

void decodeRows(jpeg_decompress_struct& info, const QByteArray& bytes, const RowPlan& plan)
{
    openSource(info, bytes);
    chooseSettings(info, bytes.size());
    jpeg_start_decompress(&info);
    const JSAMPARRAY row = (*info.mem->alloc_sarray)(
        reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
        info.output_width * static_cast<JDIMENSION>(info.output_components), 1);
    QRgb greyPalette[256] = {};
    if (info.quantize_colors)
        fillGreyPalette(info, greyPalette);

    Filler filler{info.output_height, false};
    const int sourceHeight = static_cast<int>(info.output_height);
    for (int y = plan.visible.top(); y <= plan.visible.bottom(); ++y) {
        const auto wanted = static_cast<JDIMENSION>(
            nearestSource(y - plan.rect.top(), sourceHeight, plan.rect.height()));
        readRow(info, wanted, row, bytes.size(), filler);
        writeSampledRow(info, row[0], greyPalette, plan, y);
        if (plan.drawn)
            (*plan.drawn)(y);
    }
    jpeg_abort_decompress(&info);
}

std::vector<int> sampledColumns(int sourceWidth, const QRect& rect, const QRect& visible)
{
    std::vector<int> columns;
    columns.reserve(static_cast<size_t>(visible.width()));
    for (int x = visible.left(); x <= visible.right(); ++x)
        columns.push_back(nearestSource(x - rect.left(), sourceWidth, rect.width()));
    return columns;
}

} // namespace

JpegHeader readJpegHeader(const QByteArray& bytes)
{
    Decompressor decompressor;
    auto steps = [&bytes](jpeg_decompress_struct& info) { openSource(info, bytes); };
    if (!runLibrary(decompressor, steps))
        throwLibraryError(decompressor);
    return {static_cast<int>(decompressor.info.image_width), static_cast<int>(decompressor.info.image_height),
            bytes.size() - qsizetype(decompressor.info.src->bytes_in_buffer)};
}

bool jpegCutShort(const QByteArray& bytes, const JpegHeader& header)
{
    // Within a scan's data a 0xFF byte is always followed by 0 or a restart
    // marker, so an end-of-image marker past the scan's start is the real one.
    return bytes.lastIndexOf(QByteArrayView("\xFF\xD9", 2)) < header.scanStart;
}

void decodeJpegInto(const QByteArray& bytes, QImage& target, const QRect& rect, const RowDrawn& drawn)
{
    const QRect visible = rect & target.rect();
    if (visible.isEmpty())
        return;
    // At scale 1/1 the output width is the header's width.
    const int sourceWidth = readJpegHeader(bytes).width;
    const std::vector<int> columns = sampledColumns(sourceWidth, rect, visible);
    const RowPlan plan{&target, rect, visible, columns.data(), sourceWidth == rect.width(), drawn ? &drawn : nullptr};

    Decompressor decompressor;
    auto steps = [&bytes, &plan](jpeg_decompress_struct& info) { decodeRows(info, bytes, plan); };
    if (!runLibrary(decompressor, steps))
        throwLibraryError(decompressor);
}
