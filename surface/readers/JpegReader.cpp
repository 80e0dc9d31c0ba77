// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/readers/PictureFile.h"

#include "surface/readers/JpegDecoder.h"

#include <memory>

namespace {

// A JPEG picture: the file's bytes and the size from its header. Pixels are
// decoded at each draw, straight into the target, so that no full-size
// decoded copy is ever held.
class JpegGraphic final : public Graphic {
public:
    JpegGraphic(QByteArray bytes, JpegHeader header)
        : bytes(std::move(bytes)), header(header), endsEarly(jpegCutShort(this->bytes, header))
    {
    }

    PictureKind kind() const override { return PictureKind::Jpeg; }
    int width() const override { return header.width; }
    int height() const override { return header.height; }
    bool cutShort() const override { return endsEarly; }

    void stretchDraw(QImage& target, const QRect& rect) const override { decodeJpegInto(bytes, target, rect); }
    void stretchDrawRows(QImage& target, const QRect& rect, const RowDrawn& drawn) const override
    {
        decodeJpegInto(bytes, target, rect, drawn);
    }

private:
    QByteArray bytes;
    JpegHeader header;
    bool endsEarly;
};

} // namespace

Picture readJpeg(const QByteArray& bytes)
{
    const JpegHeader header = readJpegHeader(bytes);
    return Picture(std::make_shared<const JpegGraphic>(bytes, header));
}
