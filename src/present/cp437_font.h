#pragma once
#include <cstdint>

// The 8x8 character set of the text grid: 256 glyphs of 8 rows, bit 7 leftmost.
extern const std::uint8_t cp437_font[256][8];
