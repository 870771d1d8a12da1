#include "palette.h"

#include <bitset>

#include "art_error.h"
#include "source_lines.h"

namespace artc {

palette parse_palette(std::string_view text, const std::string& file) {
    palette palette{};
    std::bitset<256> given;
    for (const source_line& line : split_source(text)) {
        if (line.words.size() != 4) {
            fail_at(file, line.number, "expected 'INDEX R G B'");
        }
        const int index = parse_number(file, line, line.words[0], 0, 255);
        if (given.test(static_cast<std::size_t>(index))) {
            fail_at(file, line.number, "palette index " + std::to_string(index) + " is given twice");
        }
        given.set(static_cast<std::size_t>(index));
        palette[static_cast<std::size_t>(index)] = {
            static_cast<std::uint8_t>(parse_number(file, line, line.words[1], 0, 255)),
            static_cast<std::uint8_t>(parse_number(file, line, line.words[2], 0, 255)),
            static_cast<std::uint8_t>(parse_number(file, line, line.words[3], 0, 255)),
        };
    }
    if (!given.all()) {
        for (std::size_t i = 0; i < given.size(); ++i) {
            if (!given.test(i)) {
                fail_in(file, "palette index " + std::to_string(i) + " is missing");
            }
        }
    }
    return palette;
}

}  // namespace artc
