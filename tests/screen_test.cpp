#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "present/argb_conversion.h"
#include "present/image.h"
#include "present/input.h"
#include "present/picture_digest.h"
#include "test_screen.h"

namespace {

const std::string solid(std::size_t n) { return std::string(n, static_cast<char>(219)); }

int count_colour(int page, int colour) {
    int n = 0;
    for (int i = 0; i < screen_width * screen_height; ++i) n += page_pixels(page)[i] == colour;
    return n;
}

TEST(Screen, OpensBlackWithTheStandardPalette) {
    test_screen screen;
    for (int page = 0; page < 3; ++page) EXPECT_EQ(count_colour(page, 0), screen_width * screen_height);
    EXPECT_EQ(current_work_page(), 0);
    EXPECT_EQ(current_visible_page(), 0);
    const rgb* p = screen_palette();
    EXPECT_EQ((std::array{p[15].r, p[15].g, p[15].b}), (std::array<std::uint8_t, 3>{255, 255, 255}));
    EXPECT_EQ((std::array{p[1].r, p[1].g, p[1].b}), (std::array<std::uint8_t, 3>{0, 0, 170}));
    EXPECT_EQ((std::array{p[6].r, p[6].g, p[6].b}), (std::array<std::uint8_t, 3>{170, 85, 0}));
    const int greys[16] = {0, 20, 32, 44, 56, 68, 80, 97, 113, 129, 145, 161, 182, 202, 226, 255};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(p[16 + i].g, greys[i]) << i;
    EXPECT_EQ(p[32].b, 255);  // the rings start at pure blue
    EXPECT_EQ(p[40].r, 255);  // and reach pure red a third of the way round
    EXPECT_EQ(p[40].g, 0);
    for (int i = 248; i < 256; ++i) EXPECT_EQ(p[i].r + p[i].g + p[i].b, 0);
}

TEST(Screen, TextGridAcceptsOnlyFontCells) {
    test_screen screen;
    set_text_colour(4);
    locate_text(2, 2);
    print_text("A");
    const int drawn = count_colour(0, 4);
    EXPECT_GT(drawn, 0);
    set_text_grid(80, 25);  // an 8x19 cell: no such font, nothing changes
    EXPECT_EQ(count_colour(0, 4), drawn);
    set_text_grid(80, 60);  // accepted: clears the page
    EXPECT_EQ(count_colour(0, 4), 0);
}

TEST(Screen, SolidCellsFillTheirCellOpaquely) {
    test_screen screen;
    draw_filled_box(nullptr, 0, 0, 639, 479, 7);
    set_text_colour(9);
    locate_text(34, 1);
    print_text(solid(80));
    for (int y = 256; y < 280; ++y) EXPECT_EQ(test_screen::pixel(0, 320, y), (y >= 264 && y <= 271) ? 9 : 7) << y;
    // Other glyphs paint their unset pixels in the background colour 0.
    locate_text(1, 1);
    print_text(" ");
    EXPECT_EQ(test_screen::pixel(0, 3, 3), 0);
}

TEST(Screen, PrintingPastTheLastCellScrollsOnlyOnTheNextPrint) {
    test_screen screen;
    set_text_colour(12);
    locate_text(1, 1);
    print_text(solid(1));
    locate_text(60, 1);
    print_text(solid(80));
    EXPECT_EQ(test_screen::pixel(0, 5, 472), 12);
    EXPECT_EQ(test_screen::pixel(0, 5, 479), 12);
    EXPECT_EQ(test_screen::pixel(0, 0, 0), 12) << "no scroll yet";
    print_text(solid(1));
    EXPECT_EQ(test_screen::pixel(0, 0, 0), 0) << "the top text row scrolled away";
    EXPECT_EQ(test_screen::pixel(0, 5, 464), 12) << "row 60 moved up to row 59";
    EXPECT_EQ(test_screen::pixel(0, 3, 475), 12) << "the new cell at row 60, column 1";
    EXPECT_EQ(test_screen::pixel(0, 12, 475), 0) << "the rest of row 60 was cleared";

    // Locating after a full last row never scrolls.
    clear_screen();
    locate_text(60, 1);
    print_text(solid(80));
    locate_text(1, 1);
    print_text(solid(1));
    EXPECT_EQ(test_screen::pixel(0, 5, 479), 12);
}

TEST(Screen, WrapsToTheNextRowPastColumn80) {
    test_screen screen;
    set_text_colour(2);
    locate_text(1, 80);
    print_text(solid(2));
    EXPECT_EQ(test_screen::pixel(0, 635, 3), 2);
    EXPECT_EQ(test_screen::pixel(0, 3, 11), 2);
}

// Printed without drawing, text draws nothing and leaves the cursor where
// drawing it would: the next cell drawn lands in the same place, from any
// cell, a pending wrap included, for any length, scrolls included.
TEST(Screen, WithoutDrawingTextMovesTheCursorAsDrawingItWould) {
    test_screen screen;
    struct start {
        int row, column;
        bool pending_wrap;
    };
    for (const start from : {start{1, 1, false}, start{1, 80, false}, start{30, 41, false}, start{60, 1, false},
                             start{60, 79, false}, start{60, 80, false}, start{60, 80, true}}) {
        for (const std::size_t length : {1, 2, 79, 80, 81, 159, 160, 161, 2400, 4799, 4800, 4801, 4880, 4881, 5000}) {
            std::vector<std::uint8_t> pages[2];
            for (const bool drawing_on : {true, false}) {
                set_drawing(true);
                clear_screen();
                locate_text(from.row, from.column);
                set_text_colour(0);  // drawn, the text is black on black: only the mark shows
                if (from.pending_wrap) print_text(solid(1));
                set_drawing(drawing_on);
                set_text_colour(drawing_on ? 0 : 15);
                print_text(solid(length));
                set_drawing(true);
                set_text_colour(12);
                print_text(solid(1));
                pages[drawing_on].assign(page_pixels(0), page_pixels(0) + screen_width * screen_height);
            }
            ASSERT_EQ(count_colour(0, 12), 64) << "one mark, nothing else drawn";
            ASSERT_TRUE(pages[0] == pages[1]) << "from " << from.row << "," << from.column
                                              << (from.pending_wrap ? " wrapping" : "") << ", " << length << " cells";
        }
    }
}

TEST(Screen, PagesCopyAndShow) {
    test_screen screen;
    set_pages(2, 0);
    draw_filled_box(nullptr, 0, 0, 639, 479, 5);
    copy_page(2, 1);
    EXPECT_EQ(count_colour(1, 5), screen_width * screen_height);
    EXPECT_EQ(count_colour(2, 5), screen_width * screen_height);
    copy_page(3, 0);  // no such page
    EXPECT_EQ(count_colour(0, 0), screen_width * screen_height);
    set_pages(7, -1);  // out of range: ignored
    EXPECT_EQ(current_work_page(), 2);
    set_pages(1, 2);
    flip();  // work page 1 onto visible page 2
    EXPECT_EQ(current_visible_page(), 2);
    set_pages(-1, -1);
    EXPECT_EQ(current_work_page(), 0);
    EXPECT_EQ(current_visible_page(), 0);
}

TEST(Screen, LockedDrawingIsNotShownUntilUnlocked) {
    test_screen screen;
    sleep_plain(1);  // present the black screen
    lock_screen();
    lock_screen();
    draw_filled_box(nullptr, 0, 0, 639, 479, 14);
    sleep_plain(50);
    EXPECT_EQ(screen.platform().shown_pixels()[1000], 0) << "a locked screen shows nothing new";
    unlock_screen(-1, -1);
    sleep_plain(1);
    EXPECT_EQ(screen.platform().shown_pixels()[1000], 14) << "one unlock releases both locks";
}

TEST(Screen, PaletteChangesReachTheDisplay) {
    test_screen screen;
    sleep_plain(1);
    set_palette_entry(0, rgb{10, 20, 30});
    sleep_plain(1);
    EXPECT_EQ(screen.platform().shown_palette()[0].g, 20);
}

TEST(PictureDigest, TheFastPathIsTheDefinitionAndEveryPixelAndColourCounts) {
    std::mt19937_64 random(7);
    std::vector<std::uint8_t> page(screen_width * screen_height);
    for (auto& b : page) b = static_cast<std::uint8_t>(random());
    rgb palette[256];
    for (auto& c : palette) c = rgb{static_cast<std::uint8_t>(random()), 1, 2};
    for (const std::size_t size : {std::size_t{64}, std::size_t{640}, page.size()}) {
        EXPECT_EQ(bytes_digest(page.data(), size), bytes_digest_portable(page.data(), size)) << size;
#if defined(__SSE2__)
        EXPECT_EQ(bytes_digest_sse2(page.data(), size), bytes_digest_portable(page.data(), size)) << size;
#endif
    }

    const std::uint64_t original = picture_digest(page.data(), palette);
    for (const std::size_t at : {std::size_t{0}, std::size_t{7}, std::size_t{8}, page.size() / 2, page.size() - 1}) {
        page[at] ^= 1;
        EXPECT_NE(picture_digest(page.data(), palette), original) << "pixel " << at;
        page[at] ^= 1;
    }
    // The same bytes in other places count too.
    page[0] = 1;
    page[640] = 2;
    const std::uint64_t before_swap = picture_digest(page.data(), palette);
    std::swap(page[0], page[640]);
    EXPECT_NE(picture_digest(page.data(), palette), before_swap);
    palette[255].b ^= 1;
    EXPECT_NE(picture_digest(page.data(), palette), original) << "the last palette entry";
}

TEST(Display, TheTrueColourPictureIsThePagesColoursPixelForPixel) {
    std::mt19937 random(3);
    std::vector<std::uint8_t> page(screen_width * screen_height);
    for (auto& b : page) b = static_cast<std::uint8_t>(random());
    // Every other row in 8x1 blocks of one colour, as the game's pictures mostly are.
    for (int y = 0; y < screen_height; y += 2)
        for (int x = 0; x < screen_width; ++x) page[y * screen_width + x] = page[y * screen_width + (x & ~7)];
    rgb palette[256];
    for (auto& c : palette)
        c = rgb{static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()),
                static_cast<std::uint8_t>(random())};
    const std::size_t pitch = 4 * screen_width + 64;  // a display's rows may be longer than the picture's
    std::vector<std::uint8_t> out(pitch * screen_height, 0xEE);
    convert_to_argb(page.data(), palette, out.data(), pitch);
    for (int y = 0; y < screen_height; y += 3)
        for (int x = 0; x < screen_width; ++x) {
            std::uint32_t argb;
            std::memcpy(&argb, &out[y * pitch + 4 * x], 4);
            const rgb c = palette[page[y * screen_width + x]];
            ASSERT_EQ(argb, 0xFF000000u | c.r << 16 | c.g << 8 | c.b) << x << "," << y;
        }
    EXPECT_EQ(out[pitch - 1], 0xEE) << "nothing past the picture's row";
}

}  // namespace
