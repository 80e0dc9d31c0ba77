#include "surface/readers/JpegDecoder.h"

#include "base/PlanixError.h"
#include "surface/pixels/Stretch.h"

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

constexpr int greyLevels = 236;

// libjpeg's error manager with the jump back into the guarded call.
struct ErrorManager {
    jpeg_error_mgr library; // first, so the library's pointer is ours too
    std::jmp_buf escape;
    bool dataExhausted;     // a scan ran out of data
};

ErrorManager& errorsOf(j_common_ptr info)
{
    return *reinterpret_cast<ErrorManager*>(info->err);
}

[[noreturn]] void leaveLibrary(j_common_ptr info)
{
    std::longjmp(errorsOf(info).escape, 1);
}

// Warnings are not shown and decoding goes on; the end of the data (the
// file's, or the scan's at a marker) is noted.
void noteWarning(j_common_ptr info, int level)
{
    const int code = info->err->msg_code;
    if (level < 0 && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER))
        errorsOf(info).dataExhausted = true;
}

void ignoreOutput(j_common_ptr) {}

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

bool isGreyscale(const jpeg_decompress_struct& info)
{
    return info.jpeg_color_space == JCS_GRAYSCALE;
}

bool isFourChannel(const jpeg_decompress_struct& info)
{
    return info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
}

void chooseSettings(jpeg_decompress_struct& info)
{
    info.scale_num = 1;
    info.scale_denom = 1;
    info.dct_method = JDCT_ISLOW;
    info.do_fancy_upsampling = TRUE;
    info.do_block_smoothing = TRUE;
    if (isGreyscale(info)) {
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
constexpr unsigned inkProduct(unsigned c, unsigned k)
{
    return (c * k + 127) / 255;
}

// What the rows look like and where they go. Plain data only: it lives
// inside the guarded call.
struct RowPlan {
    QImage* target;
    QRect rect;        // whole target rectangle
    QRect visible;     // the part of rect inside target
    const int* columns; // source column of each visible target column
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
    } else if (info.out_color_space == JCS_CMYK) {
        const bool inverted = info.saw_Adobe_marker;
        for (int i = 0; i < count; ++i) {
            const JSAMPLE* p = row + 4 * plan.columns[i];
            const unsigned k = inverted ? p[3] : 255u - p[3];
            auto channel = [&](JSAMPLE ink) { return inkProduct(inverted ? ink : 255u - ink, k); };
            out[i] = opaque(channel(p[0]), channel(p[1]), channel(p[2]));
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
    constexpr std::uint64_t pixelsPerByteBeyondAnyPhoto = 1024;
    const std::uint64_t pixels = std::uint64_t{info.output_width} * info.output_height;
    return info.quantize_colors && errorsOf(reinterpret_cast<j_common_ptr>(&info)).dataExhausted
           && !jpeg_has_multiple_scans(&info)
           && pixels > pixelsPerByteBeyondAnyPhoto * static_cast<std::uint64_t>(fileBytes);
}

// The source rows from fillerFrom on hold only the library's filler.
struct Filler {
    JDIMENSION from;
    bool written; // the row buffer holds the filler
};

// After each greyscale row read: once the file lies about its size, the
// filler starts with the row group after the one where its data ran out.
void noteFiller(jpeg_decompress_struct& info, qsizetype fileBytes, Filler& filler)
{
    if (filler.from < info.output_height || !liesAboutItsSize(info, fileBytes))
        return;
    const JDIMENSION group = static_cast<JDIMENSION>(info.max_v_samp_factor * DCTSIZE);
    filler.from = (info.output_scanline + group - 1) / group * group + group;
}

// The filler row in palette indexes: the level nearest mid grey.
void writeFillerRow(const jpeg_decompress_struct& info, JSAMPROW row)
{
    constexpr int fillerLevel = 128;
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
        jpeg_skip_scanlines(&info, wanted - info.output_scanline);
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
    if (info.quantize_colors)
        noteFiller(info, fileBytes, filler);
}

void decodeRows(jpeg_decompress_struct& info, const QByteArray& bytes, const RowPlan& plan)
{
    openSource(info, bytes);
    chooseSettings(info);
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
        const auto wanted = static_cast<JDIMENSION>(nearestSource(y - plan.rect.top(), sourceHeight, plan.rect.height()));
        readRow(info, wanted, row, bytes.size(), filler);
        writeSampledRow(info, row[0], greyPalette, plan, y);
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
    return {static_cast<int>(decompressor.info.image_width), static_cast<int>(decompressor.info.image_height)};
}

void decodeJpegInto(const QByteArray& bytes, QImage& target, const QRect& rect)
{
    const QRect visible = rect & target.rect();
    if (visible.isEmpty())
        return;
    // At scale 1/1 the output width is the header's width.
    const std::vector<int> columns = sampledColumns(readJpegHeader(bytes).width, rect, visible);
    const RowPlan plan{&target, rect, visible, columns.data()};

    Decompressor decompressor;
    auto steps = [&bytes, &plan](jpeg_decompress_struct& info) { decodeRows(info, bytes, plan); };
    if (!runLibrary(decompressor, steps))
        throwLibraryError(decompressor);
}
