#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "art_error.h"
#include "bmp_writer.h"
#include "font_sheet.h"
#include "palette.h"
#include "pix_parser.h"
#include "sprite_sheet.h"

namespace {

using artc::art_error;

// Runs 'parse' and returns the message it failed with, or "" when it did not fail.
template <typename Parse>
std::string failure_of(Parse parse) {
    try {
        parse();
    } catch (const art_error& error) {
        return error.what();
    }
    return "";
}

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t read16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

TEST(PixParser, ReadsSizeKeysAndRowsWithComments) {
    const artc::picture picture = artc::parse_pix(
        "# a tiny sprite\n"
        "size 3 2   # width height\n"
        "key a 34\n"
        "key 1 200  # redefines a default character\n"
        "\n"
        "pixels\n"
        ".aF   # first row\n"
        "19.\n",
        "tiny.pix");
    ASSERT_EQ(picture.width, 3);
    ASSERT_EQ(picture.height, 2);
    EXPECT_EQ(picture.pixels, (std::vector<std::uint8_t>{0, 34, 15, 200, 9, 0}));
}

TEST(PixParser, NamesFileAndLineOfEachFault) {
    const auto parse = [](const char* text) { return failure_of([&] { artc::parse_pix(text, "art/x.pix"); }); };

    EXPECT_EQ(parse("size 3 2\npixels\n...\n....\n"), "art/x.pix:4: pixel row has 4 characters, expected 3");
    EXPECT_EQ(parse("size 3 2\npixels\n...\n..z\n"),
              "art/x.pix:4: unknown pixel character 'z' (add a key line for it)");
    EXPECT_EQ(parse("size 3 2\npixels\n...\n"), "art/x.pix:3: only 1 pixel rows, expected 2");
    EXPECT_EQ(parse("size 3 1\npixels\n...\n...\n"), "art/x.pix:4: more pixel rows than the height 1");
    EXPECT_EQ(parse("size 3 1\npixels\n. ..\n"),
              "art/x.pix:3: a pixel row must be one run of characters without blanks");
    EXPECT_EQ(parse("pixels\n...\n"), "art/x.pix:1: 'pixels' comes before 'size'");
    EXPECT_EQ(parse("size 3 x\n"), "art/x.pix:1: 'x' is not a whole number");
    EXPECT_EQ(parse("size 3 1\nkey ab 3\n"), "art/x.pix:2: a key must be a single character, not 'ab'");
    EXPECT_EQ(parse("size 3 1\nkey a 256\n"), "art/x.pix:2: '256' is out of range 0..255");
    EXPECT_EQ(parse("size 3 1\ncolour a 3\n"), "art/x.pix:2: unknown command 'colour'");
    EXPECT_EQ(parse("size 3 1\n"), "art/x.pix:1: no 'pixels' section");
}

TEST(PixParser, RequireSizeRejectsOtherSizes) {
    const artc::picture picture(16, 15);
    EXPECT_EQ(failure_of([&] { artc::require_size(picture, 16, 16, "s.pix"); }), "s.pix: is 16x15, must be 16x16");
    EXPECT_EQ(failure_of([&] { artc::require_size(picture, 16, 15, "s.pix"); }), "");
}

std::string full_palette_text() {
    std::string text;
    for (int i = 0; i < 256; ++i) {
        text += std::to_string(i) + " " + std::to_string(i) + " " + std::to_string(255 - i) + " 7\n";
    }
    return text;
}

TEST(palette, ReadsEveryEntry) {
    const artc::palette palette = artc::parse_palette("# comment\n" + full_palette_text(), "p.txt");
    EXPECT_EQ(palette[0], (artc::rgb{0, 255, 7}));
    EXPECT_EQ(palette[200], (artc::rgb{200, 55, 7}));
    EXPECT_EQ(palette[255], (artc::rgb{255, 0, 7}));
}

TEST(palette, RejectsMissingDuplicateAndMalformedEntries) {
    const auto parse = [](const std::string& text) { return failure_of([&] { artc::parse_palette(text, "p.txt"); }); };
    std::string without_17 = full_palette_text();
    without_17.erase(without_17.find("17 17"), std::string("17 17 238 7\n").size());
    EXPECT_EQ(parse(without_17), "p.txt: palette index 17 is missing");
    EXPECT_EQ(parse(full_palette_text() + "3 0 0 0\n"), "p.txt:257: palette index 3 is given twice");
    EXPECT_EQ(parse("0 1 2\n"), "p.txt:1: expected 'INDEX R G B'");
    EXPECT_EQ(parse("0 1 2 300\n"), "p.txt:1: '300' is out of range 0..255");
}

TEST(BmpWriter, WritesHeadersPaletteAndPaddedBottomUpRows) {
    artc::palette palette{};
    palette[1] = {10, 20, 30};
    palette[255] = {200, 100, 50};
    artc::picture picture(3, 2);
    picture.pixels = {1, 2, 3, 4, 5, 255};

    const std::vector<std::uint8_t> bytes = artc::encode_bmp(picture, palette);

    const std::size_t pixel_offset = 14 + 40 + 1024;
    const std::size_t row_stride = 4;
    ASSERT_EQ(bytes.size(), pixel_offset + 2 * row_stride);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(read32(bytes, 2), bytes.size());
    EXPECT_EQ(read32(bytes, 10), pixel_offset);
    EXPECT_EQ(read32(bytes, 14), 40u);
    EXPECT_EQ(read32(bytes, 18), 3u);
    EXPECT_EQ(read32(bytes, 22), 2u);
    EXPECT_EQ(read16(bytes, 26), 1);
    EXPECT_EQ(read16(bytes, 28), 8);
    EXPECT_EQ(read32(bytes, 30), 0u);
    EXPECT_EQ(read32(bytes, 34), 2 * row_stride);
    EXPECT_EQ(read32(bytes, 46), 256u);

    // Colour table entries are blue, green, red, zero.
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 54 + 4, bytes.begin() + 54 + 8)),
              (std::vector<std::uint8_t>{30, 20, 10, 0}));
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + 54 + 4 * 255, bytes.begin() + 54 + 1024)),
              (std::vector<std::uint8_t>{50, 100, 200, 0}));

    // The bottom row comes first, each row padded to four bytes.
    EXPECT_EQ((std::vector<std::uint8_t>(bytes.begin() + pixel_offset, bytes.end())),
              (std::vector<std::uint8_t>{4, 5, 255, 0, 1, 2, 3, 0}));

    // A row of four needs no padding; a row of five takes three bytes of it.
    for (const auto& [width, stride] : {std::pair{4, 4}, std::pair{5, 8}}) {
        artc::picture row(width, 1);
        EXPECT_EQ(artc::encode_bmp(row, palette).size(), pixel_offset + stride) << width;
    }
}

TEST(sprite_sheet, CellsLieInsideTheSheetWithoutOverlappingAndRunsSizeThem) {
    std::vector<int> owner(sprite_sheet_width * sprite_sheet_height, -1);
    int runs_end = 0;
    for (const sprite_run& run : sprite_runs) {
        ASSERT_EQ(run.first, runs_end) << "the runs cover every sprite once, in order";
        runs_end = run.last + 1;
        for (int index = run.first; index <= run.last; ++index) {
            const sprite_cell cell = cell_of(index);
            ASSERT_EQ(cell.width, run.width) << index;
            ASSERT_EQ(cell.height, run.height) << index;
            ASSERT_GE(cell.x, 0) << index;
            ASSERT_GE(cell.y, 0) << index;
            ASSERT_LE(cell.x + cell.width, sprite_sheet_width) << index;
            ASSERT_LE(cell.y + cell.height, sprite_sheet_height) << index;
            for (int y = cell.y; y < cell.y + cell.height; ++y) {
                for (int x = cell.x; x < cell.x + cell.width; ++x) {
                    int& taken = owner[static_cast<std::size_t>(y * sprite_sheet_width + x)];
                    ASSERT_EQ(taken, -1) << "sprites " << taken << " and " << index << " share (" << x << "," << y
                                         << ")";
                    taken = index;
                }
            }
        }
    }
    EXPECT_EQ(runs_end, sprite_count);
    artc::sprite_sheet sheet;
    const std::string past = std::to_string(sprite_count), last = std::to_string(sprite_count - 1);
    EXPECT_EQ(failure_of([&] { sheet.place(sprite_count, artc::picture(1, 1), past + "-x.pix"); }),
              past + "-x.pix: sprite index " + past + " is not in 0.." + last);
}

TEST(sprite_sheet, PlacesSpritesAtTheirCells) {
    artc::sprite_sheet sheet;
    artc::picture squid(16, 16);
    squid.at(0, 0) = 7;
    squid.at(15, 15) = 8;
    sheet.place(9, squid, "09-squid.pix");
    artc::picture carrier(64, 28);
    carrier.at(63, 27) = 9;
    sheet.place(80, carrier, "80-carrier.pix");

    EXPECT_EQ(sheet.sheet().at(16, 16), 7);
    EXPECT_EQ(sheet.sheet().at(31, 31), 8);
    EXPECT_EQ(sheet.sheet().at(63, 157), 9);
}

TEST(sprite_sheet, RejectsWrongSizeAndConflictingOverlap) {
    artc::sprite_sheet sheet;
    EXPECT_EQ(failure_of([&] { sheet.place(85, artc::picture(15, 10), "85-hit.pix"); }),
              "85-hit.pix: is 15x10, must be 15x11");

    // Placing the same index twice stands in for two cells that overlap: equal pixels may
    // coincide, different ones must be refused and both sprites named.
    artc::picture first(16, 16);
    first.at(3, 4) = 20;
    sheet.place(2, first, "02-a.pix");
    EXPECT_EQ(failure_of([&] { sheet.place(2, first, "02-a.pix"); }), "");
    artc::picture clashing(16, 16);
    clashing.at(3, 4) = 21;
    EXPECT_EQ(failure_of([&] { sheet.place(2, clashing, "02-b.pix"); }),
              "02-b.pix: sprite 2 pixel (3,4) would overwrite a different pixel of sprite 2 at sheet position (35,4)");
    artc::picture transparent_over(16, 16);
    EXPECT_EQ(failure_of([&] { sheet.place(2, transparent_over, "02-c.pix"); }), "");
    EXPECT_EQ(sheet.sheet().at(35, 4), 20);
}

TEST(SpriteFiles, IndexesByLeadingDigits) {
    const auto files = artc::index_sprite_files({"08-squid-a0.pix", "80-carrier.pix", "0092-game-over-wreck.pix",
                                                 "5-falling-squid-b.pix", "art/sprites/12-squid-a4.pix"});
    ASSERT_EQ(files.size(), 5u);
    EXPECT_EQ(files.at(12), "art/sprites/12-squid-a4.pix");
    EXPECT_EQ(files.at(8), "08-squid-a0.pix");
    EXPECT_EQ(files.at(80), "80-carrier.pix");
    EXPECT_EQ(files.at(92), "0092-game-over-wreck.pix");
    EXPECT_EQ(files.at(5), "5-falling-squid-b.pix");
}

TEST(SpriteFiles, RejectsBadNamesAndDuplicates) {
    const auto index = [](std::vector<std::string> names) {
        return failure_of([&] { artc::index_sprite_files(names); });
    };
    EXPECT_EQ(index({"squid.pix"}), "squid.pix: a sprite file name must start with its index, like '08-squid-a0.pix'");
    EXPECT_EQ(index({"12squid.pix"}),
              "12squid.pix: a sprite file name must start with its index, like '08-squid-a0.pix'");
    const std::string past = std::to_string(sprite_count), last = std::to_string(sprite_count - 1);
    EXPECT_EQ(index({past + "-extra.pix"}),
              past + "-extra.pix: sprite index " + past + " is past the last sprite " + last);
    EXPECT_EQ(index({"08-squid-a0.pix", "8-squid-a0.pix"}),
              "8-squid-a0.pix: sprite 8 is already drawn in 08-squid-a0.pix");
    EXPECT_EQ(index({"08-squid.pix"}), "08-squid.pix: sprite 8 is named 'squid-a0': 08-squid-a0.pix");
    EXPECT_EQ(index({"5.pix"}), "5.pix: sprite 5 is named 'falling-squid-b': 5-falling-squid-b.pix");
    EXPECT_EQ(index({"art/7up/squid.pix"}),
              "art/7up/squid.pix: a sprite file name must start with its index, like '08-squid-a0.pix'");
}

// A font source where every glyph is a full block of its layout width, with 'replace'
// substituted for the glyph block of one character.
std::string block_font(int replaced_code = -1, const std::string& replacement = "") {
    std::string text = "shade @ 101 102 103 104 105 106 107\n";
    for (int code = artc::first_glyph_code; code < artc::first_glyph_code + artc::glyph_count; ++code) {
        if (code == replaced_code) {
            text += replacement;
            continue;
        }
        const std::string label = code == 32    ? "space"
                                  : code == 35  ? "hash"
                                  : code == 127 ? "del"
                                                : std::string(1, static_cast<char>(code));
        text += "glyph " + label + "\n";
        const char ink = code == 32 ? '.' : '@';
        for (int row = 0; row < artc::glyph_height; ++row) {
            text += std::string(static_cast<std::size_t>(artc::glyph_width(code)), ink) + "\n";
        }
    }
    return text;
}

TEST(Font, PlacesGlyphsSideBySideWithRowShades) {
    const artc::picture strip = artc::parse_font(block_font(), "font.txt");
    ASSERT_EQ(strip.width, 576);
    ASSERT_EQ(strip.height, 7);
    const int m_x = ('M' - 32) * 6;  // 'M' is six wide
    EXPECT_EQ(strip.at(m_x, 0), 101);
    EXPECT_EQ(strip.at(m_x + 5, 6), 107);
    const int i_x = ('i' - 32) * 6;  // 'i' is two wide: the rest of its cell stays blank
    EXPECT_EQ(strip.at(i_x + 1, 3), 104);
    EXPECT_EQ(strip.at(i_x + 2, 3), 0);
    EXPECT_EQ(strip.at(0, 0), 0);  // space
}

TEST(Font, RejectsGlyphsThatBreakTheLayout) {
    const auto parse = [](const std::string& text) { return failure_of([&] { artc::parse_font(text, "font.txt"); }); };

    const std::string wide_i = "glyph i\n@@@\n@@@\n@@@\n@@@\n@@@\n@@@\n@@@\n";
    EXPECT_NE(parse(block_font('i', wide_i)).find(": pixel row has 3 characters, expected 2"), std::string::npos);

    const std::string blank_i = "glyph i\n..\n..\n..\n..\n..\n..\n..\n";
    EXPECT_NE(parse(block_font('i', blank_i)).find(": glyph 105 'i' draws nothing"), std::string::npos);

    const std::string inked_space = "glyph space\n@\n.\n.\n.\n.\n.\n.\n";
    EXPECT_NE(parse(block_font(32, inked_space)).find(": the space glyph must be blank"), std::string::npos);

    const std::string short_i = "glyph i\n@@\n@@\n";
    EXPECT_NE(parse(block_font('i', short_i)).find(": glyph 105 'i' has 2 rows, expected 7"), std::string::npos);

    EXPECT_EQ(parse(block_font('i', "")), "font.txt: glyph 105 'i' is missing");
    EXPECT_NE(parse(block_font() + "glyph A\n").find(": glyph 65 'A' is drawn twice"), std::string::npos);
    EXPECT_NE(parse(block_font() + "glyph AB\n").find(": 'AB' is not a glyph label"), std::string::npos);
}

}  // namespace
