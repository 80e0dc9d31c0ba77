// SPDX-FileCopyrightText: 2026 PLANIX developers
// SPDX-License-Identifier: GPL-2.0-or-later
// Feeds arbitrary bytes to the icon reader and draws what it gives, reduced,
// enlarged and partly off the target, so that every decoded pixel is read.
// The only acceptable failure is the program's own error.
#include "fuzz/ReadAndDraw.h"
#include "surface/readers/PictureFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    return readAndDraw(data, size, readIcon);
}
