#pragma once
#include <cstdint>
#include <string>

#include "present/platform.h"

// Writes palette-index pixels as a PNG of 8-bit indices with the palette;
// false when the file cannot be written.
bool write_png(const std::string& path, const std::uint8_t* pixels, int width, int height, int pitch,
               const rgb* palette);
