// Feeds arbitrary bytes to the JPEG reader and draws what it gives, reduced
// and partly off the target. The only acceptable failure is the program's
// own error ("JPEG エラー #%d").
#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

#include <QImage>
#include <cstdint>

namespace {

// A declared size beyond this is loaded but not drawn: decoding it is
// correct but takes seconds, which only slows the search down.
constexpr std::int64_t maxDrawnPixels = 4'000'000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Picture picture = readJpeg(bytes);
        if (std::int64_t{picture.width()} * picture.height() > maxDrawnPixels)
            return 0;
        QImage target(48, 32, QImage::Format_RGB32);
        target.fill(Qt::white);
        picture.stretchDraw(target, QRect(0, 0, 17, 9));
        picture.stretchDraw(target, QRect(-5, -3, 96, 70));
    } catch (const PlanixError&) {
    }
    return 0;
}
