// Feeds arbitrary bytes to the BMP reader and draws what it gives, reduced,
// enlarged and partly off the target, so that every decoded pixel is read.
// The only acceptable failure is the program's own error.
#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

#include <QImage>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Picture picture = readBmp(bytes);
        QImage target(48, 32, QImage::Format_RGB32);
        target.fill(Qt::white);
        picture.stretchDraw(target, QRect(0, 0, 17, 9));
        picture.stretchDraw(target, QRect(-5, -3, 96, 70));
    } catch (const PlanixError&) {
    }
    return 0;
}
