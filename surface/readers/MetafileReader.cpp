// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
#include "surface/readers/PictureFile.h"

#include "surface/metafile/MetafilePlayers.h"

#include <memory>

namespace {

// A WMF or EMF picture: the file's bytes, checked at load, and the size
// from its header. Each draw plays the records into the target rectangle,
// as far as the draw's work budget goes (MetafileWork.h).
class MetafileGraphic final : public Graphic {
public:
    MetafileGraphic(QByteArray bytes, bool enhanced, MetafileSize size)
        : bytes(std::move(bytes)), enhanced(enhanced), size(size)
    {
    }

    PictureKind kind() const override { return PictureKind::Metafile; }
    int width() const override { return size.width; }
    int height() const override { return size.height; }

    void stretchDraw(QImage& target, const QRect& rect) const override
    {
        if (enhanced)
            playEmf(bytes, target, rect);
        else
            playWmf(bytes, target, rect);
    }

private:
    QByteArray bytes;
    bool enhanced;
    MetafileSize size;
};

} // namespace

// An empty file gives an empty picture, as an empty bitmap file does.
Picture readMetafile(const QByteArray& bytes, bool enhanced)
{
    if (bytes.isEmpty())
        return Picture();
    const MetafileSize size = enhanced ? inspectEmf(bytes) : inspectWmf(bytes);
    return Picture(std::make_shared<const MetafileGraphic>(bytes, enhanced, size));
}
