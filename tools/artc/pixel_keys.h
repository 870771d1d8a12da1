#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "picture.h"
#include "source_lines.h"

namespace artc {

// Maps the characters of pixel rows to palette indices: '.' is 0, '0'..'9' and 'A'..'F'
// are 0..15, and "key c N" lines add or redefine characters.
class pixel_keys {
public:
    pixel_keys();

    // Handles a "key c N" line.
    void define(const std::string& file, const source_line& line);

    void assign(char character, std::uint8_t index);

    // Copies one row of 'width' characters into picture row y starting at column x0.
    void draw_row(const std::string& file, const source_line& line, int width, picture& picture, int x0, int y) const;

private:
    static constexpr int unknown = -1;
    std::array<int, 256> index_of_{};
};

}  // namespace artc
