#pragma once

#include <string>
#include <string_view>

#include "picture.h"

namespace artc {

inline constexpr int glyph_cell_width = 6;
inline constexpr int glyph_height = 7;
inline constexpr int first_glyph_code = 32;
inline constexpr int glyph_count = 96;

// How many font pixels the game lays out for character code c (32..127).
int glyph_width(int code);

// Parses the font source into the 576x7 strip: glyph c at x = (c - 32) * 6.
//   shade @ I0 I1 I2 I3 I4 I5 I6   character '@' takes palette index Ir in row r
//   key c N                        as in .pix files
//   glyph A                        then 7 rows, each exactly as wide as the game lays out 'A'
// Glyph labels are the character itself, or 'space', 'hash' and 'del' for 32, 35 and 127.
picture parse_font(std::string_view text, const std::string& file);

}  // namespace artc
