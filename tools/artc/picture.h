#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artc {

// A rectangle of palette indices, row by row from the top.
struct picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;

    picture() = default;
    picture(int w, int h) : width(w), height(h), pixels(offset(w, h, 0), 0) {}

    std::uint8_t& at(int x, int y) { return pixels[offset(width, y, x)]; }
    std::uint8_t at(int x, int y) const { return pixels[offset(width, y, x)]; }

private:
    static std::size_t offset(int row_width, int rows, int x) {
        return static_cast<std::size_t>(rows) * static_cast<std::size_t>(row_width) + static_cast<std::size_t>(x);
    }
};

}  // namespace artc
