// Loads the backgrounds, the sprite sheet and the font strip once, cuts them
// into the image tables and enlarges every pixel to an 8x8 block.
#include <algorithm>

#include "assets/assets.h"
#include "assets/picture_files.h"
#include "files/game_files.h"

image* background_images[3];
image* sprite_images[sprite_count];
image* glyph_images[128];

namespace {

void load_backgrounds() {
    image* work = create_image(88, 72);
    for (int i = 0; i < 3; ++i) {
        load_bmp(graphics_file(background_files[i]).c_str(), work);
        background_images[i] = create_image(704, 576);
        enlarge8(work, background_images[i]);
    }
    destroy_image(work);
}

void load_sprites() {
    image* sheet = create_image(sprite_sheet_width, sprite_sheet_height);
    load_bmp(graphics_file(sprite_sheet_file).c_str(), sheet);
    for (const sprite_run& run : sprite_runs) {
        image* work = create_image(run.width, run.height);
        for (int index = run.first; index <= run.last; ++index) {
            const sprite_cell c = cell_of(index);
            sprite_images[index] = create_image(run.width * 8, run.height * 8);
            const source_rect cell{c.x, c.y, c.x + c.width - 1, c.y + c.height - 1};
            put_image(work, 0, 0, sheet, put_mode::copy, &cell);
            enlarge8(work, sprite_images[index]);
        }
        destroy_image(work);
    }
    destroy_image(sheet);
}

void load_font() {
    image* strip = create_image(576, 7);
    load_bmp(graphics_file(font_file).c_str(), strip);
    image* work = create_image(6, 7);
    for (int c = 32; c <= 127; ++c) {
        draw_filled_box(work, 0, 0, 5, 6, 0);
        const int x = (c - 32) * 6;
        const source_rect cell{x, 0, x + 5, 6};
        put_image(work, 0, 0, strip, put_mode::transparent, &cell);
        glyph_images[c] = create_image(48, 56);
        enlarge8(work, glyph_images[c]);
    }
    destroy_image(work);
    destroy_image(strip);
}

}  // namespace

void load_graphics() {
    load_backgrounds();
    load_sprites();
    load_font();
}

void free_graphics() {
    for (image*& img : background_images) {
        destroy_image(img);
        img = nullptr;
    }
    for (image*& img : sprite_images) {
        destroy_image(img);
        img = nullptr;
    }
    for (int c = 32; c <= 127; ++c) {
        destroy_image(glyph_images[c]);
        glyph_images[c] = nullptr;
    }
}

void enlarge8(const image* source, image* target) {
    if (source == nullptr || target == nullptr || target->width < source->width * 8 ||
        target->height < source->height * 8)
        return;
    // Each source row becomes one enlarged row, repeated eight times.
    for (std::uint32_t y = 0; y < source->height; ++y) {
        const std::uint8_t* in = source->pixels.get() + y * source->pitch;
        std::uint8_t* first = target->pixels.get() + (y * 8) * target->pitch;
        for (std::uint32_t x = 0; x < source->width; ++x)
            for (int k = 0; k < 8; ++k) first[x * 8 + k] = in[x];
        for (int k = 1; k < 8; ++k) std::copy(first, first + source->width * 8, first + k * target->pitch);
    }
}
