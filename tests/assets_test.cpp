// The game folder's picture and sample files, their loading and enlarging,
// and the text and sprite helpers drawn with them. Runs in the game folder.
#include "assets/assets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <vector>

#include "colour_contrast.h"
#include "present/image.h"
#include "present/row_kernels.h"
#include "test_screen.h"

namespace {

std::vector<std::uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t le(const std::vector<std::uint8_t>& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | d.at(at + i);
    return v;
}

struct picture_file {
    const char* path;
    int width, height;
};

const picture_file picture_files[] = {
    {"graphics/BG0.BMP", 88, 72},      {"graphics/BG1.BMP", 88, 72},      {"graphics/BG2.BMP", 88, 72},
    {"graphics/sprite.BMP", 128, 193}, {"graphics/font4.BMP", 576, 7},    {"graphics/title.bmp", 80, 60},
    {"graphics/opening.bmp", 80, 60},  {"graphics/crashing.bmp", 80, 60}, {"graphics/ending.bmp", 80, 60},
};

TEST(GameFiles, PicturesAreEightBitBottomUpWithOneSharedPalette) {
    std::vector<std::uint8_t> shared_table;
    for (const picture_file& f : picture_files) {
        const std::vector<std::uint8_t> d = read_file(f.path);
        ASSERT_GE(d.size(), 54u + 1024u) << f.path;
        EXPECT_EQ(d[0], 'B');
        EXPECT_EQ(d[1], 'M');
        EXPECT_EQ(le(d, 14, 4), 40u) << f.path;
        EXPECT_EQ(static_cast<int>(le(d, 18, 4)), f.width) << f.path;
        EXPECT_EQ(static_cast<int>(le(d, 22, 4)), f.height) << f.path << " (positive: bottom-up)";
        EXPECT_EQ(le(d, 28, 2), 8u) << f.path;
        EXPECT_EQ(le(d, 30, 4), 0u) << f.path << " is compressed";
        ASSERT_EQ(le(d, 10, 4), 54u + 1024u) << f.path;
        const int stride = (f.width + 3) & ~3;
        EXPECT_GE(d.size(), 54u + 1024u + stride * f.height) << f.path;
        const std::vector<std::uint8_t> table(d.begin() + 54, d.begin() + 54 + 1024);
        if (shared_table.empty()) shared_table = table;
        EXPECT_EQ(table, shared_table) << f.path << " has its own palette";
    }
}

double luminance(const std::array<int, 3>& c) { return relative_luminance(c[0], c[1], c[2]); }
double contrast(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    return contrast_of(luminance(a), luminance(b));
}
double distance(const std::array<int, 3>& a, const std::array<int, 3>& b) {
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]);
}

// The pixels of an uncompressed 8-bit BMP, top row first.
std::vector<std::vector<std::uint8_t>> bmp_rows(const std::vector<std::uint8_t>& d) {
    const int width = static_cast<int>(le(d, 18, 4)), height = static_cast<int>(le(d, 22, 4));
    const std::size_t offset = le(d, 10, 4), stride = (width + 3) & ~3;
    std::vector<std::vector<std::uint8_t>> rows(height);
    for (int y = 0; y < height; ++y)
        rows[y].assign(d.begin() + offset + (height - 1 - y) * stride,
                       d.begin() + offset + (height - 1 - y) * stride + width);
    return rows;
}

// What the game fills and writes by palette number must read where it lands.
TEST(GameFiles, TheColoursDrawnByNumberReadWhereTheGameDrawsThem) {
    const std::vector<std::uint8_t> font = read_file("graphics/font4.BMP");
    ASSERT_GE(font.size(), 54u + 1024u);
    const auto colour = [&](int i) {
        return std::array<int, 3>{font[54 + 4 * i + 2], font[54 + 4 * i + 1], font[54 + 4 * i]};
    };
    EXPECT_LT(luminance(colour(0)), 0.01) << "0, the blank screen and the dialog box, is near black";
    for (int i = 1; i <= 16; ++i) EXPECT_GE(luminance(colour(15)), luminance(colour(i))) << "15 is the brightest";

    // Grounds 1, 2, 4 of the three backgrounds, and their bands 9, 10, 12.
    EXPECT_GT(distance(colour(1), colour(2)), 80);
    EXPECT_GT(distance(colour(1), colour(4)), 80);
    EXPECT_GT(distance(colour(2), colour(4)), 80);
    // The bands keep close to their ground's lightness, so that what lands on
    // one reads on the other, and stand apart from it in hue.
    for (const auto& [ground, band] : {std::pair{1, 9}, std::pair{2, 10}, std::pair{4, 12}}) {
        EXPECT_GT(distance(colour(ground), colour(band)), 45) << "band " << band << " on ground " << ground;
        EXPECT_LT(contrast(colour(ground), colour(band)), 1.5) << "band " << band << " on ground " << ground;
    }

    // "Chain" (2) and the stage banner (4) over each sky where they stand,
    // at every scroll: text rows 1..15 and columns 1..40 of the background.
    for (const char* background : {"graphics/BG0.BMP", "graphics/BG1.BMP", "graphics/BG2.BMP"}) {
        const auto rows = bmp_rows(read_file(background));
        std::vector<double> chain;
        double banner_sum = 0;
        for (int y = 1; y < 16; ++y)
            for (int x = 1; x <= 40; ++x) {
                chain.push_back(contrast(colour(2), colour(rows[y][x])));
                banner_sum += contrast(colour(4), colour(rows[y][x]));
            }
        std::sort(chain.begin(), chain.end());
        EXPECT_GE(chain[chain.size() / 10], 3.0) << background << ": \"Chain\" on nine pixels in ten";
        EXPECT_GE(banner_sum / chain.size(), 2.5) << background << ": the stage banner";
    }

    // The pause dialog's texts on its box; the answer under the pointer (4)
    // lights up brighter than the rest (14).
    EXPECT_GE(contrast(colour(14), colour(0)), 3.0);
    EXPECT_GT(luminance(colour(4)), luminance(colour(14)) * 1.1);
    // Every shade of the font on the instructions' fill and bars and on the
    // ending's fill.
    std::set<int> shades;
    for (const auto& row : bmp_rows(font))
        for (const std::uint8_t index : row)
            if (index != 0) shades.insert(index);
    ASSERT_FALSE(shades.empty());
    for (const int shade : shades)
        for (const int ground : {7, 8, 1})
            EXPECT_GE(contrast(colour(shade), colour(ground)), 3.0) << "font shade " << shade << " on " << ground;
}

TEST(GameFiles, SamplesAreShortSixteenBitPcm) {
    for (const char* name : {"laser", "explosion", "munch", "exp_energy", "fall", "boom"}) {
        const std::vector<std::uint8_t> d = read_file(std::string("WAV/") + name + ".WAV");
        ASSERT_GE(d.size(), 44u) << name;
        EXPECT_EQ(std::string(d.begin(), d.begin() + 4), "RIFF");
        EXPECT_EQ(std::string(d.begin() + 8, d.begin() + 12), "WAVE");
        EXPECT_EQ(le(d, 20, 2), 1u) << name << " is PCM";
        const std::uint32_t channels = le(d, 22, 2);
        EXPECT_EQ(le(d, 24, 4), 44100u) << name;
        EXPECT_EQ(le(d, 34, 2), 16u) << name;
        const double seconds = (d.size() - 44.0) / (44100.0 * 2 * channels);
        EXPECT_GT(seconds, 0.1) << name;
        EXPECT_LT(seconds, std::string(name) == "boom" ? 1.55 : 1.0) << name;
    }
}

class Assets : public ::testing::Test {
protected:
    test_screen screen;
    static void SetUpTestSuite() {
        test_screen loading;
        load_graphics();
    }
    static void TearDownTestSuite() { free_graphics(); }
};

TEST_F(Assets, EveryTableEntryHasItsEnlargedSize) {
    const struct {
        int first, last, width, height;
    } rows[] = {{0, 63, 16, 16},  {64, 79, 16, 1},  {80, 80, 64, 28}, {81, 84, 17, 17},
                {85, 85, 15, 11}, {86, 86, 15, 9},  {87, 87, 7, 7},   {88, 88, 13, 10},
                {89, 90, 45, 17}, {91, 91, 40, 27}, {92, 92, 25, 18}};
    for (const auto& row : rows) {
        for (int i = row.first; i <= row.last; ++i) {
            ASSERT_NE(sprite_images[i], nullptr) << i;
            EXPECT_EQ(sprite_images[i]->width, 8u * row.width) << i;
            EXPECT_EQ(sprite_images[i]->height, 8u * row.height) << i;
            bool drawn = false;
            for (std::uint32_t y = 0; y < sprite_images[i]->height && !drawn; ++y)
                for (std::uint32_t x = 0; x < sprite_images[i]->width && !drawn; ++x)
                    drawn = read_pixel(sprite_images[i], x, y) != 0;
            EXPECT_TRUE(drawn) << "sprite " << i << " is empty";
        }
    }
    for (image* bg : background_images) {
        ASSERT_NE(bg, nullptr);
        EXPECT_EQ(bg->width, 704u);
        EXPECT_EQ(bg->height, 576u);
    }
    for (int c = 32; c <= 127; ++c) {
        ASSERT_NE(glyph_images[c], nullptr);
        EXPECT_EQ(glyph_images[c]->width, 48u);
        EXPECT_EQ(glyph_images[c]->height, 56u);
    }
}

TEST_F(Assets, GlyphsAreAsWideAsTheWidthTable) {
    for (int c = 33; c <= 127; ++c) {
        int rightmost = -1;
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < 48; ++x)
                if (read_pixel(glyph_images[c], x, y) != 0) rightmost = std::max(rightmost, x);
        EXPECT_EQ((rightmost + 1) / 8, glyph_widths[c]) << "character " << c;
    }
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 48; ++x) ASSERT_EQ(read_pixel(glyph_images[32], x, y), 0) << "space is blank";
}

TEST_F(Assets, LoadingLeavesTheFontsPalette) {
    const std::vector<std::uint8_t> font = read_file("graphics/font4.BMP");
    free_graphics();
    load_graphics();  // with this test's fresh screen palette
    for (int i = 0; i < 256; ++i) {
        ASSERT_EQ(screen_palette()[i].r, font[54 + 4 * i + 2]) << i;
        ASSERT_EQ(screen_palette()[i].b, font[54 + 4 * i]) << i;
    }
}

// A run without drawing loads only what the pictures do to the palette; they
// load when drawing starts, the same pictures, leaving the palette as the
// game has set it since.
TEST_F(Assets, WithoutDrawingThePicturesWaitUntilDrawingStarts) {
    const auto pixels_of = [](const image* img) {
        std::vector<int> pixels;
        for (std::uint32_t y = 0; y < img->height; ++y)
            for (std::uint32_t x = 0; x < img->width; ++x) pixels.push_back(read_pixel(img, x, y));
        return pixels;
    };
    const std::vector<int> carrier = pixels_of(sprite_images[sprite_carrier]);
    const std::vector<int> ground = pixels_of(background_images[2]);
    const std::vector<std::uint8_t> font = read_file("graphics/font4.BMP");
    free_graphics();
    set_drawing(false);
    load_graphics();
    for (int i = 0; i < 256; ++i) ASSERT_EQ(screen_palette()[i].g, font[54 + 4 * i + 1]) << i;
    ASSERT_NE(sprite_images[sprite_carrier], nullptr);
    EXPECT_EQ(sprite_images[sprite_carrier]->width, 8u * 64);
    EXPECT_EQ(read_pixel(sprite_images[sprite_carrier], 0, 0), -1) << "no pixels yet";
    set_palette_entry(9, rgb{1, 2, 3});
    set_drawing(true);
    EXPECT_EQ(pixels_of(sprite_images[sprite_carrier]), carrier);
    EXPECT_EQ(pixels_of(background_images[2]), ground);
    EXPECT_EQ(screen_palette()[9].g, 2);
    EXPECT_EQ(screen_palette()[10].g, font[54 + 4 * 10 + 1]);
}

TEST_F(Assets, EnlargingByRowsMatchesBlockByBlock) {
    image* small = create_image(13, 7);
    std::mt19937 random(7);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            draw_filled_box(small, x, y, x, y, static_cast<int>(random() % 4 == 0 ? 0 : random() % 256));
    image* fast = create_image(104, 56);
    image* slow = create_image(104, 56);
    draw_filled_box(fast, 0, 0, 103, 55, 77);
    enlarge8(small, fast);
    for (int y = 6; y >= 0; --y)
        for (int x = 12; x >= 0; --x)
            draw_filled_box(slow, 8 * x, 8 * y, 8 * x + 7, 8 * y + 7, read_pixel(small, x, y));
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 104; ++x) ASSERT_EQ(read_pixel(fast, x, y), read_pixel(slow, x, y)) << x << "," << y;
    destroy_image(small);
    destroy_image(fast);
    destroy_image(slow);
}

TEST_F(Assets, TextAdvancesByTheGlyphWidths) {
    image* target = create_image(200, 80);
    draw_text(target, 8, 8, "AB", -1);
    for (int y = 0; y < 56; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int a = read_pixel(glyph_images['A'], x, y);
            if (a != 0) {
                ASSERT_EQ(read_pixel(target, 8 + x, 8 + y), a);
            }
            const int b = read_pixel(glyph_images['B'], x, y);
            if (b != 0) {
                ASSERT_EQ(read_pixel(target, 56 + x, 8 + y), b);
            }
        }
    }
    destroy_image(target);

    // One colour for every drawn glyph pixel; blank pixels leave the target alone.
    image* tinted = create_image(60, 60);
    draw_filled_box(tinted, 0, 0, 59, 59, 200);
    draw_text(tinted, 0, 0, "W", 4);
    int drawn = 0;
    for (int y = 0; y < 56; ++y)
        for (int x = 0; x < 48; ++x) {
            const int expected = read_pixel(glyph_images['W'], x, y) != 0 ? 4 : 200;
            ASSERT_EQ(read_pixel(tinted, x, y), expected);
            drawn += expected == 4;
        }
    EXPECT_GT(drawn, 0);
    destroy_image(tinted);
}

TEST_F(Assets, BytesWithoutAGlyphAreSkipped) {
    image* plain = create_image(200, 60);
    image* with_stray = create_image(200, 60);
    draw_text(plain, 0, 0, "AB", -1);
    draw_text(with_stray, 0, 0, std::string("A\x01\x80\xff") + "B", -1);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x) ASSERT_EQ(read_pixel(plain, x, y), read_pixel(with_stray, x, y));
    destroy_image(plain);
    destroy_image(with_stray);
}

TEST_F(Assets, SpriteHelpersTintAndBlank) {
    image* target = create_image(130, 130);
    draw_filled_box(target, 0, 0, 129, 129, 200);
    put_sprite_silhouette(target, 0, 0, 0, 0);
    const image* cursor = sprite_images[0];
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(read_pixel(target, x, y), read_pixel(cursor, x, y) != 0 ? 0 : 200) << "colour 0 is drawn opaque";

    // Sprite 91 uses colour 1 for what must blank the screen.
    const image* craft = sprite_images[91];
    image* scene = create_image(320, 216);
    draw_filled_box(scene, 0, 0, 319, 215, 200);
    put_sprite_colour_to_zero(scene, 0, 0, 91, 1);
    int blanked = 0;
    for (int y = 0; y < 216; ++y)
        for (int x = 0; x < 320; ++x) {
            const int s = read_pixel(craft, x, y);
            const int expected = s == 0 ? 200 : s == 1 ? 0 : s;
            ASSERT_EQ(read_pixel(scene, x, y), expected);
            blanked += s == 1;
        }
    EXPECT_GT(blanked, 0);
    destroy_image(target);
    destroy_image(scene);
}

// The puts of silhouettes and blanked colours go a row at a time, 16 pixels a
// step; they must draw what the custom put does with the pixel functions,
// and the fast rows what the portable ones do.
TEST_F(Assets, FastPutsDrawWhatThePixelFunctionsSay) {
    std::mt19937 random(11);
    const auto page = [] { return std::vector<std::uint8_t>(work_page_pixels(), work_page_pixels() + 640 * 480); };
    const auto ground = [] {
        for (int row = 0; row < screen_height; ++row)
            std::memset(work_page_pixels() + row * screen_width, 7 + row % 5, screen_width);
    };
    image* const kept = sprite_images[sprite_crashing_craft];
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + static_cast<int>(random() % 70), height = 1 + static_cast<int>(random() % 5);
        image* source = create_image(width, height);
        for (std::uint32_t y = 0; y < source->height; ++y)
            for (std::uint32_t x = 0; x < source->width; ++x)  // colour 0 often, whole runs of it sometimes
                source->pixels[y * source->pitch + x] = random() % 3 == 0 || (x / 16) % 3 == 1 ? 0 : random() % 4;
        const int x = static_cast<int>(random() % 700) - 40, y = static_cast<int>(random() % 500) - 10;
        const std::int32_t colour = std::array<std::int32_t, 5>{0, 1, 3, 255, 300}[random() % 5];
        const bool silhouette = round % 2 == 0;
        ground();
        put_image_custom(nullptr, x, y, source, [&](std::uint32_t s, std::uint32_t d) {
            return silhouette ? silhouette_pixel(s, d, &colour) : colour_to_zero_pixel(s, d, &colour);
        });
        const std::vector<std::uint8_t> expected = page();
        ground();
        sprite_images[sprite_crashing_craft] = source;  // any image as a sprite
        if (silhouette)
            put_sprite_silhouette(nullptr, x, y, sprite_crashing_craft, colour);
        else
            put_sprite_colour_to_zero(nullptr, x, y, sprite_crashing_craft, colour);
        sprite_images[sprite_crashing_craft] = kept;
        ASSERT_EQ(page(), expected) << "round " << round << ", " << width << "x" << height << " at " << x << "," << y
                                    << ", colour " << colour;

        std::uint8_t fast[70], slow[70];
        for (int i = 0; i < width; ++i) fast[i] = slow[i] = static_cast<std::uint8_t>(random());
        const auto c = static_cast<std::uint8_t>(colour);
        transparent_row(source->pixels.get(), fast, width);
        portable::transparent_row(source->pixels.get(), slow, width);
        silhouette_row(source->pixels.get(), fast, width / 2, c);
        portable::silhouette_row(source->pixels.get(), slow, width / 2, c);
        colour_to_zero_row(source->pixels.get(), fast, width, c);
        portable::colour_to_zero_row(source->pixels.get(), slow, width, c);
        ASSERT_TRUE(std::equal(fast, fast + width, slow)) << "round " << round;
        destroy_image(source);
    }
}

TEST(Numbers, AreShownAsTheLastDigitsOfAZeroRun) {
    EXPECT_EQ(padded_number(1000, 8), "00001000");
    EXPECT_EQ(padded_number(123456789, 8), "23456789");
    EXPECT_EQ(padded_number(-5, 8), "000000-5");
    EXPECT_EQ(padded_number(7, 3), "007");
    EXPECT_EQ(padded_number(1234, 3), "234");
    EXPECT_EQ(padded_number(12, 2), "12");
    EXPECT_EQ(padded_number(10000, 4), "0000");
}

}  // namespace
