// Feeds arbitrary bytes to the JPEG reader and draws what it gives, reduced
// and partly off the target. The only acceptable failure is the program's
// own error ("JPEG エラー #%d").
#include "fuzz/ReadAndDraw.h"
#include "surface/readers/PictureFile.h"

namespace {

// A declared size beyond this is loaded but not drawn: decoding it is
// correct but takes seconds, which only slows the search down.
constexpr std::int64_t maxDrawnPixels = 4'000'000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return readAndDraw(data, size, readJpeg, maxDrawnPixels);
}
