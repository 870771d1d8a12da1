#pragma once

#include <cstdint>
#include <vector>

#include "palette.h"
#include "picture.h"

namespace artc {

// Encodes an uncompressed 8-bit BMP: file header, BITMAPINFOHEADER, the full 256-entry
// colour table, then bottom-up rows padded to 4 bytes.
std::vector<std::uint8_t> encode_bmp(const picture& picture, const palette& palette);

}  // namespace artc
