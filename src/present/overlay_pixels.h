#pragma once
// Drawing the window's own notes (volume, a replay's controls): opaque ARGB
// pixels in rows of the given width, text in the text grid's 8x8 font.
#include <algorithm>
#include <cstdint>
#include <string_view>

#include "present/cp437_font.h"

inline void fill_overlay(std::uint32_t* pixels, int width, int x0, int y0, int w, int h, std::uint32_t colour) {
    for (int y = y0; y < y0 + h; ++y) std::fill_n(pixels + y * width + x0, w, colour);
}

inline void write_overlay_text(std::uint32_t* pixels, int width, int x0, int y0, std::string_view text,
                               std::uint32_t colour) {
    for (std::size_t i = 0; i < text.size(); ++i)
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 8; ++col)
                if (cp437_font[static_cast<unsigned char>(text[i])][row] & (0x80 >> col))
                    pixels[(y0 + row) * width + x0 + static_cast<int>(i) * 8 + col] = colour;
}
