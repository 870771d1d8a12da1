#pragma once
// The game's icon for the window's title bar and task switcher, drawn from
// art/icon/icon.pix at build time: ARGB pixels, row by row from the top.
#include <cstdint>

constexpr int window_icon_size = 64;
extern const std::uint32_t window_icon_pixels[window_icon_size * window_icon_size];
