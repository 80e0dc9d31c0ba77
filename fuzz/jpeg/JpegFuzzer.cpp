// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the JPEG reader and draws what it gives, reduced
// and partly off the target. The only acceptable failure is the program's
// own error ("JPEG エラー #%d"). Every declared size is drawn, up to
// 65535 x 65535, so that a file whose decoding costs far more than its bytes
// hold shows up: run it with a time limit (-timeout=2, see README.md).
#include "fuzz/ReadAndDraw.h"
#include "surface/readers/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return readAndDraw(data, size, readJpeg);
}
