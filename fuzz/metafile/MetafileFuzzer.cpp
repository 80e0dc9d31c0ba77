// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the metafile reader (WMF or EMF, chosen when the
// fuzzer is built) and draws what it gives, reduced and partly off the
// target. The only acceptable failure is the program's own error.
#include "fuzz/ReadAndDraw.h"
#include "surface/readers/PictureFile.h"

#include <QGuiApplication>

// Qt's font database keeps what fontconfig finds for each family a text
// record names, for the life of the process: a cache, not a leak.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Text records need fonts, which need the application object.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return readAndDraw(data, size, [](const QByteArray& bytes) { return readMetafile(bytes, PLANIX_FUZZ_ENHANCED); });
}
