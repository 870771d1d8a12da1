#include "font_sheet.h"

#include <array>
#include <optional>

#include "art_error.h"
#include "pixel_keys.h"
#include "source_lines.h"

namespace artc {

namespace {

// The game's text layout table, codes 32..127.
constexpr std::array<int, glyph_count> layout_widths = {
    1, 2, 5, 6, 5, 5, 6, 2, 3, 3, 6, 6, 2, 5, 2, 6,  // space ! " # $ % & ' ( ) * + , - . /
    4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 2, 2, 5, 5, 5, 4,  // 0..9 : ; < = > ?
    6, 5, 5, 5, 5, 4, 4, 5, 5, 4, 5, 5, 4, 6, 5, 5,  // @ A..O
    5, 5, 5, 4, 4, 5, 5, 6, 5, 4, 4, 3, 6, 3, 5, 5,  // P..Z [ \ ] ^ _
    2, 4, 4, 4, 4, 4, 4, 4, 4, 2, 4, 4, 3, 6, 4, 4,  // ` a..o
    4, 4, 4, 4, 4, 4, 5, 6, 4, 4, 5, 4, 6, 4, 5, 5,  // p..z { | } ~ DEL
};

std::optional<int> code_of_label(const std::string& label) {
    if (label == "space") {
        return 32;
    }
    if (label == "hash") {
        return 35;
    }
    if (label == "del") {
        return 127;
    }
    if (label.size() == 1 && label[0] > 32 && label[0] < 127) {
        return label[0];
    }
    return std::nullopt;
}

struct shade {
    char character = 0;
    std::array<std::uint8_t, glyph_height> row_index{};
};

shade parse_shade(const std::string& file, const source_line& line) {
    if (line.words.size() != 2 + glyph_height || line.words[1].size() != 1) {
        fail_at(file, line.number, "expected 'shade CHARACTER' and one palette index for each of the 7 rows");
    }
    shade shade;
    shade.character = line.words[1][0];
    for (int row = 0; row < glyph_height; ++row) {
        shade.row_index[static_cast<std::size_t>(row)] =
            static_cast<std::uint8_t>(parse_number(file, line, line.words[static_cast<std::size_t>(2 + row)], 0, 255));
    }
    return shade;
}

std::string describe(int code) { return "glyph " + std::to_string(code) + " '" + static_cast<char>(code) + "'"; }

// Space must stay blank; any other blank glyph would vanish from every text without a trace.
void check_ink(const picture& strip, int code, const std::string& file, int line_number) {
    const int x0 = (code - first_glyph_code) * glyph_cell_width;
    bool inked = false;
    for (int y = 0; y < glyph_height; ++y) {
        for (int x = 0; x < glyph_cell_width; ++x) {
            inked = inked || strip.at(x0 + x, y) != 0;
        }
    }
    if (code == 32 && inked) {
        fail_at(file, line_number, "the space glyph must be blank");
    }
    if (code != 32 && !inked) {
        fail_at(file, line_number, describe(code) + " draws nothing");
    }
}

}  // namespace

int glyph_width(int code) { return layout_widths.at(static_cast<std::size_t>(code - first_glyph_code)); }

picture parse_font(std::string_view text, const std::string& file) {
    picture strip(glyph_count * glyph_cell_width, glyph_height);
    pixel_keys keys;
    std::optional<shade> shade;
    std::array<bool, glyph_count> defined{};
    std::optional<int> current;  // glyph whose rows are being read
    int rows_read = 0;
    int glyph_line = 0;
    int last_line = 0;

    auto finish_glyph = [&](int line_number) {
        if (current && rows_read != glyph_height) {
            fail_at(file, line_number,
                    describe(*current) + " has " + std::to_string(rows_read) + " rows, expected " +
                        std::to_string(glyph_height));
        }
        current.reset();
    };

    for (const source_line& line : split_source(text)) {
        last_line = line.number;
        // Rows are single words and commands are not, so a short glyph ends at the next command.
        const bool is_row = line.words.size() == 1;
        if (current && rows_read < glyph_height && is_row) {
            const int code = *current;
            if (shade) {
                keys.assign(shade->character, shade->row_index[static_cast<std::size_t>(rows_read)]);
            }
            keys.draw_row(file, line, glyph_width(code), strip, (code - first_glyph_code) * glyph_cell_width,
                          rows_read);
            ++rows_read;
            if (rows_read == glyph_height) {
                check_ink(strip, code, file, glyph_line);
            }
            continue;
        }
        if (current && is_row) {
            fail_at(file, line.number, describe(*current) + " has more than " + std::to_string(glyph_height) + " rows");
        }
        finish_glyph(line.number);
        const std::string& command = line.words[0];
        if (command == "glyph") {
            if (line.words.size() != 2) {
                fail_at(file, line.number, "expected 'glyph LABEL'");
            }
            const std::optional<int> code = code_of_label(line.words[1]);
            if (!code) {
                fail_at(file, line.number, "'" + line.words[1] + "' is not a glyph label");
            }
            auto& seen = defined[static_cast<std::size_t>(*code - first_glyph_code)];
            if (seen) {
                fail_at(file, line.number, describe(*code) + " is drawn twice");
            }
            seen = true;
            current = code;
            rows_read = 0;
            glyph_line = line.number;
        } else if (command == "shade") {
            shade = parse_shade(file, line);
        } else if (command == "key") {
            keys.define(file, line);
        } else {
            fail_at(file, line.number, "unknown command '" + command + "'");
        }
    }
    finish_glyph(last_line);

    for (int i = 0; i < glyph_count; ++i) {
        if (!defined[static_cast<std::size_t>(i)]) {
            fail_in(file, describe(first_glyph_code + i) + " is missing");
        }
    }
    return strip;
}

}  // namespace artc
