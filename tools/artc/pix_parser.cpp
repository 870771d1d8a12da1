#include "pix_parser.h"

#include "art_error.h"
#include "pixel_keys.h"
#include "source_lines.h"

namespace artc {

namespace {

// Large enough for every sheet the game uses, small enough to catch a typo in "size".
constexpr int max_side = 1024;

}  // namespace

picture parse_pix(std::string_view text, const std::string& file) {
    pixel_keys keys;
    picture picture;
    bool sized = false;
    bool in_pixels = false;
    int rows_read = 0;
    int last_line = 0;

    for (const source_line& line : split_source(text)) {
        last_line = line.number;
        if (in_pixels) {
            if (rows_read == picture.height) {
                fail_at(file, line.number, "more pixel rows than the height " + std::to_string(picture.height));
            }
            keys.draw_row(file, line, picture.width, picture, 0, rows_read);
            ++rows_read;
            continue;
        }
        const std::string& command = line.words[0];
        if (command == "size") {
            if (sized) {
                fail_at(file, line.number, "size is given twice");
            }
            if (line.words.size() != 3) {
                fail_at(file, line.number, "expected 'size WIDTH HEIGHT'");
            }
            const int width = parse_number(file, line, line.words[1], 1, max_side);
            const int height = parse_number(file, line, line.words[2], 1, max_side);
            picture = artc::picture(width, height);
            sized = true;
        } else if (command == "key") {
            keys.define(file, line);
        } else if (command == "pixels") {
            if (!sized) {
                fail_at(file, line.number, "'pixels' comes before 'size'");
            }
            if (line.words.size() != 1) {
                fail_at(file, line.number, "'pixels' stands alone on its line");
            }
            in_pixels = true;
        } else {
            fail_at(file, line.number, "unknown command '" + command + "'");
        }
    }

    if (!in_pixels) {
        fail_at(file, last_line, "no 'pixels' section");
    }
    if (rows_read != picture.height) {
        fail_at(file, last_line,
                "only " + std::to_string(rows_read) + " pixel rows, expected " + std::to_string(picture.height));
    }
    return picture;
}

void require_size(const picture& picture, int width, int height, const std::string& file) {
    if (picture.width != width || picture.height != height) {
        fail_in(file, "is " + std::to_string(picture.width) + "x" + std::to_string(picture.height) + ", must be " +
                          std::to_string(width) + "x" + std::to_string(height));
    }
}

}  // namespace artc
