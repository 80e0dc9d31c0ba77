// Feeds arbitrary bytes to the metafile reader (WMF or EMF, chosen when the
// fuzzer is built) and draws what it gives, reduced and partly off the
// target. The only acceptable failure is the program's own error.
#include "surface/PictureFile.h"
#include "surface/PlanixError.h"

#include <QGuiApplication>
#include <QImage>
#include <cstdint>

// Qt's font database keeps what fontconfig finds for each family a text
// record names, for the life of the process: a cache, not a leak.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text records need fonts, which need the application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const Picture picture = readMetafile(bytes, PLANIX_FUZZ_ENHANCED);
        QImage target(48, 32, QImage::Format_RGB32);
        target.fill(Qt::white);
        picture.stretchDraw(target, QRect(0, 0, 17, 9));
        picture.stretchDraw(target, QRect(-5, -3, 96, 70));
    } catch (const PlanixError&) {
    }
    return 0;
}
