#pragma once
// The player's screenshots (F12): PNG files named by date and time in the
// screenshots/ folder beside the best score.
#include <cstdint>
#include <string>

#include "present/platform.h"

// Writes the 640x480 picture; the file's path, or empty when it could not be
// written (one line on stderr says why).
std::string save_screenshot(const std::uint8_t* pixels, const rgb* palette);
