#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace artc {

struct rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const rgb&) const = default;
};

using palette = std::array<rgb, 256>;

// Reads "INDEX R G B" lines. Every one of the 256 entries must be given exactly once,
// because a forgotten entry would silently turn some picture black.
palette parse_palette(std::string_view text, const std::string& file);

}  // namespace artc
