#pragma once
// The 640x480 page of palette indices as 32-bit ARGB pixels, for a display
// that shows true colour.
#include <cstddef>
#include <cstdint>

#include "present/platform.h"

// out_pitch: bytes from one row of the output to the next.
void convert_to_argb(const std::uint8_t* pixels, const rgb* palette, std::uint8_t* out, std::size_t out_pitch);
