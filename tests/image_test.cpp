#include "present/image.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "bmp_builder.h"
#include "bmp_files.h"
#include "present/page_history.h"
#include "present/screen.h"
#include "test_screen.h"

namespace {

image_ptr patterned(int w, int h) {
    image_ptr img = make_image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img->pixels[y * img->pitch + x] = static_cast<std::uint8_t>((x + y) % 3 == 0 ? 0 : 1 + (x * 7 + y) % 200);
    return img;
}

class Images : public ::testing::Test {
protected:
    test_screen screen;
};

TEST_F(Images, CreateNeedsASizeAndPadsRowsTo16) {
    EXPECT_EQ(create_image(0, 5), nullptr);
    EXPECT_EQ(create_image(5, -1), nullptr);
    image_ptr img = make_image(17, 2);
    EXPECT_EQ(img->pitch, 32u);
    EXPECT_EQ(read_pixel(img.get(), 16, 1), 0);
    EXPECT_EQ(read_pixel(img.get(), 17, 0), -1);
    EXPECT_EQ(read_pixel(img.get(), -1, 0), -1);
    EXPECT_EQ(read_pixel(nullptr, 640, 0), -1);
}

TEST_F(Images, TransparentPutClipsAndSkipsColourZero) {
    image_ptr sprite = patterned(128, 128);
    // Cut by the left and bottom edges, then by the right and top edges.
    for (const auto& [left, top] : {std::pair{-64, 400}, std::pair{600, -70}}) {
        draw_filled_box(nullptr, 0, 0, 639, 479, 250);
        put_image(nullptr, left, top, sprite.get(), put_mode::transparent);
        for (int y = 0; y < 480; y += 3) {
            for (int x = 0; x < 640; x += 3) {
                const bool inside = x >= left && x < left + 128 && y >= top && y < top + 128;
                const int own = inside ? at(*sprite, x - left, y - top) : 0;
                ASSERT_EQ(read_pixel(nullptr, x, y), own == 0 ? 250 : own) << x << "," << y;
            }
        }
    }
}

TEST_F(Images, CopyPutWritesZeroToo) {
    image_ptr sprite = patterned(10, 10);
    draw_filled_box(nullptr, 0, 0, 639, 479, 250);
    put_image(nullptr, 635, 475, sprite.get(), put_mode::copy);
    EXPECT_EQ(read_pixel(nullptr, 635, 475), 0);  // source (0,0) is colour 0
    EXPECT_EQ(read_pixel(nullptr, 639, 479), at(*sprite, 4, 4));
    EXPECT_EQ(read_pixel(nullptr, 634, 479), 250);
}

TEST_F(Images, SourceRectangleIsSortedAndClamped) {
    image_ptr sheet = patterned(128, 193);
    image_ptr cell = make_image(15, 11);
    const source_rect rect{79, 141, 64, 130};
    put_image(cell.get(), 0, 0, sheet.get(), put_mode::copy, &rect);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 15; ++x) ASSERT_EQ(at(*cell, x, y), at(*sheet, 64 + x, 130 + y));
    // A rectangle reaching past the sheet is cut at its edge.
    image_ptr small = make_image(4, 4);
    const source_rect beyond{126, 191, 300, 300};
    put_image(small.get(), 0, 0, sheet.get(), put_mode::copy, &beyond);
    EXPECT_EQ(at(*small, 1, 1), at(*sheet, 127, 192));
    EXPECT_EQ(at(*small, 2, 2), 0);
}

TEST_F(Images, CustomPutCallsTheFunctionForEveryVisiblePixel) {
    image_ptr sprite = patterned(20, 20);
    int calls = 0;
    put_image_custom(nullptr, -5, 470, sprite.get(), [&calls](std::uint32_t s, std::uint32_t d) {
        ++calls;
        return s == 0 ? 0u : d + 300;  // the low 8 bits are written
    });
    EXPECT_EQ(calls, 15 * 10);
    EXPECT_EQ(read_pixel(nullptr, 0, 479), at(*sprite, 5, 9) == 0 ? 0 : 300 & 255);
}

TEST_F(Images, FilledBoxesSortAndClip) {
    draw_filled_box(nullptr, 10, 10, 3, 3, 9);
    int n = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) n += read_pixel(nullptr, x, y) == 9;
    EXPECT_EQ(n, 64);
    draw_filled_box(nullptr, 630, -10, 700, 2, 0x10C);  // low 8 bits: 12
    EXPECT_EQ(read_pixel(nullptr, 639, 0), 12);
    draw_filled_box(nullptr, 700, 700, 800, 800, 1);  // wholly outside: nothing, no crash
}

using BmpLoading = bmp_files;

TEST_F(BmpLoading, EightBitPictureFillsTheTopLeftAndSetsThePalette) {
    bmp_fields s;
    s.width = 80;
    s.height = 60;
    for (int i = 0; i < 80 * 60; ++i) s.pixels.push_back(static_cast<std::uint8_t>(1 + i % 250));
    draw_filled_box(nullptr, 0, 0, 639, 479, 7);
    ASSERT_EQ(load_bmp(write("pic.bmp", build_bmp(s)).c_str(), nullptr), bmp_ok);
    EXPECT_EQ(read_pixel(nullptr, 0, 0), 1);
    EXPECT_EQ(read_pixel(nullptr, 79, 59), s.pixels[59 * 80 + 79]);
    EXPECT_EQ(read_pixel(nullptr, 80, 0), 7);
    EXPECT_EQ(read_pixel(nullptr, 0, 60), 7);
    EXPECT_EQ(screen_palette()[200].r, 200);
    EXPECT_EQ(screen_palette()[200].g, 55);
    EXPECT_EQ(screen_palette()[200].b, 100);
}

TEST_F(BmpLoading, ShortColourTableChangesOnlyItsEntries) {
    bmp_fields s;
    s.table_entries = 16;
    const rgb before = screen_palette()[16];
    ASSERT_EQ(load_bmp(write("p16.bmp", build_bmp(s)).c_str(), nullptr), bmp_ok);
    EXPECT_EQ(screen_palette()[15].r, 15);
    EXPECT_EQ(screen_palette()[16].g, before.g);
}

TEST_F(BmpLoading, OneAndFourBitPixelsUnpackHighBitsFirst) {
    for (const int bits : {1, 4}) {
        bmp_fields s;
        s.bits = bits;
        s.width = 13;
        s.height = 2;
        s.table_entries = 1 << bits;
        for (int i = 0; i < 26; ++i) s.pixels.push_back(static_cast<std::uint8_t>((i * 5 + 1) % (1 << bits)));
        image_ptr img = make_image(13, 2);
        ASSERT_EQ(load_bmp(write("low.bmp", build_bmp(s)).c_str(), img.get()), bmp_ok);
        for (int i = 0; i < 26; ++i) EXPECT_EQ(at(*img, i % 13, i / 13), s.pixels[i]) << bits << " bits, pixel " << i;
    }
}

TEST_F(BmpLoading, RefusedFilesChangeNothing) {
    image_ptr img = make_image(4, 3);
    draw_filled_box(img.get(), 0, 0, 3, 2, 33);
    const rgb before = screen_palette()[3];
    bmp_fields s;
    s.pixels.assign(12, 9);
    for (const int bits : {16, 24, 32}) {
        s.bits = bits;
        s.table_entries = 0;
        EXPECT_EQ(load_bmp(write("deep.bmp", build_bmp(s)).c_str(), img.get()), bmp_not_supported);
    }
    std::vector<std::uint8_t> not_bmp = build_bmp(bmp_fields{});
    not_bmp[0] = 'X';
    EXPECT_EQ(load_bmp(write("x.bmp", not_bmp).c_str(), img.get()), bmp_unreadable);
    std::vector<std::uint8_t> v5 = build_bmp(bmp_fields{});
    v5[14] = 124;  // a newer header than the game reads
    EXPECT_EQ(load_bmp(write("v5.bmp", v5).c_str(), img.get()), bmp_unreadable);
    EXPECT_EQ(load_bmp((dir / "missing.bmp").string().c_str(), img.get()), bmp_not_found);
    EXPECT_EQ(at(*img, 2, 2), 33);
    EXPECT_EQ(screen_palette()[3].r, before.r);
}

// A 4x3 picture of rows 1, 2, 3 whose top row is cut short.
std::vector<std::uint8_t> cut_short_picture() {
    bmp_fields s;
    s.width = 4;
    s.height = 3;
    s.pixels = {1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3};
    std::vector<std::uint8_t> bytes = build_bmp(s);
    bytes.resize(bytes.size() - 3);
    return bytes;
}

TEST_F(BmpLoading, TruncatedFileKeepsTheRowsReadSoFar) {
    image_ptr img = make_image(4, 3);
    EXPECT_EQ(load_bmp(write("cut.bmp", cut_short_picture()).c_str(), img.get()), bmp_unreadable);
    EXPECT_EQ(at(*img, 0, 2), 3);
    EXPECT_EQ(at(*img, 0, 1), 2);
    EXPECT_EQ(at(*img, 0, 0), 0);
}

// As the survey of a replay sees a picture loaded onto a page and read back,
// drawn or not: a pixel the picture wrote does not read what the page held.
TEST_F(BmpLoading, OnAPageOnlyTheRowsTheFileHoldsAreReadBackAsThePicture) {
    const std::string cut = write("cut.bmp", cut_short_picture());
    set_pages(2, 0);
    track_page_uses(true);
    for (const bool drawn : {true, false}) {
        set_drawing(drawn);
        take_page_uses();
        load_bmp(cut.c_str(), nullptr);
        read_pixel(nullptr, 3, 1);
        EXPECT_EQ(take_page_uses()[2], page_use::none) << drawn;
        load_bmp(cut.c_str(), nullptr);
        read_pixel(nullptr, 0, 0);
        EXPECT_EQ(take_page_uses()[2], page_use::read) << drawn;
    }
    track_page_uses(false);
    set_drawing(true);
}

TEST_F(BmpLoading, APictureTallerThanItsTargetGivesItsTopRows) {
    bmp_fields s;
    s.width = 4;
    s.height = 6;
    for (int row = 0; row < 6; ++row)
        for (int x = 0; x < 4; ++x) s.pixels.push_back(static_cast<std::uint8_t>(10 * row + x));
    image_ptr img = make_image(4, 3);
    EXPECT_EQ(load_bmp(write("tall.bmp", build_bmp(s)).c_str(), img.get()), bmp_ok);
    for (int row = 0; row < 3; ++row)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(at(*img, x, row), 10 * row + x) << x << "," << row;
}

TEST_F(BmpLoading, BackslashesSeparateFolders) {
    bmp_fields s;
    s.pixels.assign(12, 5);
    write("slash.bmp", build_bmp(s));
    std::string path = dir.string() + "\\slash.bmp";
    image_ptr img = make_image(4, 3);
    EXPECT_EQ(load_bmp(path.c_str(), img.get()), bmp_ok);
    EXPECT_EQ(at(*img, 3, 2), 5);
}

}  // namespace
