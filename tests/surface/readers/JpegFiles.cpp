// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "JpegFiles.h"

#include "support/Pictures.h"

#include <QDir>
#include <QFile>
#include <QProcess>

QByteArray compressJpeg(const JpegRecipe& recipe)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(recipe.width);
    info.image_height = static_cast<JDIMENSION>(recipe.height);
    info.in_color_space = recipe.input;
    info.input_components = recipe.input == JCS_GRAYSCALE ? 1 : recipe.input == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&info);
    if (recipe.stored != JCS_UNKNOWN)
        jpeg_set_colorspace(&info, recipe.stored);
    jpeg_set_quality(&info, recipe.quality, TRUE);
    if (recipe.lumaSampling[0] > 0) {
        info.comp_info[0].h_samp_factor = recipe.lumaSampling[0];
        info.comp_info[0].v_samp_factor = recipe.lumaSampling[1];
    }
    info.arith_code = recipe.arithmetic ? TRUE : FALSE;
    if (recipe.progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(recipe.width * info.input_components));
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < recipe.width; ++x)
            recipe.pixel(x, static_cast<int>(info.next_scanline), &row[static_cast<size_t>(x * info.input_components)]);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray bytes(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    std::free(buffer);
    return bytes;
}

QImage djpegDecode(const QByteArray& jpeg, const QStringList& options)
{
    const QString path = QDir(temporaryDirectory()).filePath(QStringLiteral("in.jpg"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(jpeg) != jpeg.size())
        return {};
    file.close();
    QProcess djpeg;
    djpeg.start(QStringLiteral("djpeg"), QStringList{"-dct", "int", "-pnm"} + options + QStringList{path});
    if (!djpeg.waitForFinished(60000))
        return {};
    return QImage::fromData(djpeg.readAllStandardOutput(), "PPM");
}

const QStringList& djpegGreyOptions()
{
    static const QStringList options{"-grayscale", "-colors", "236", "-dither", "fs"};
    return options;
}

qsizetype markerEnd(const QByteArray& jpeg, unsigned char code)
{
    const char marker[] = {static_cast<char>(0xFF), static_cast<char>(code)};
    const qsizetype at = jpeg.indexOf(QByteArrayView(marker, 2));
    return at < 0 ? -1 : at + 2;
}
