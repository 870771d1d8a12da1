#include "pixel_keys.h"

#include "art_error.h"

namespace artc {

pixel_keys::pixel_keys() {
    index_of_.fill(unknown);
    index_of_[static_cast<unsigned char>('.')] = 0;
    for (int digit = 0; digit <= 9; ++digit) {
        index_of_[static_cast<unsigned char>('0' + digit)] = digit;
    }
    for (int hex = 0; hex < 6; ++hex) {
        index_of_[static_cast<unsigned char>('A' + hex)] = 10 + hex;
    }
}

void pixel_keys::define(const std::string& file, const source_line& line) {
    if (line.words.size() != 3) {
        fail_at(file, line.number, "expected 'key CHARACTER INDEX'");
    }
    const std::string& character = line.words[1];
    if (character.size() != 1) {
        fail_at(file, line.number, "a key must be a single character, not '" + character + "'");
    }
    assign(character[0], static_cast<std::uint8_t>(parse_number(file, line, line.words[2], 0, 255)));
}

void pixel_keys::assign(char character, std::uint8_t index) {
    index_of_[static_cast<unsigned char>(character)] = index;
}

void pixel_keys::draw_row(const std::string& file, const source_line& line, int width, picture& picture, int x0,
                          int y) const {
    if (line.words.size() != 1) {
        fail_at(file, line.number, "a pixel row must be one run of characters without blanks");
    }
    const std::string& row = line.words[0];
    if (static_cast<int>(row.size()) != width) {
        fail_at(file, line.number,
                "pixel row has " + std::to_string(row.size()) + " characters, expected " + std::to_string(width));
    }
    for (int x = 0; x < width; ++x) {
        const char c = row[static_cast<std::size_t>(x)];
        const int index = index_of_[static_cast<unsigned char>(c)];
        if (index == unknown) {
            fail_at(file, line.number, std::string("unknown pixel character '") + c + "' (add a key line for it)");
        }
        picture.at(x0 + x, y) = static_cast<std::uint8_t>(index);
    }
}

}  // namespace artc
