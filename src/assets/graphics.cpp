// Loads the backgrounds, the sprite sheet and the font strip, cuts them into
// the image tables and enlarges every pixel to an 8x8 block: once, when they
// are first drawn. They stay for a game started again in the same process.
#include <algorithm>

#include "assets/assets.h"
#include "assets/picture_files.h"
#include "files/game_files.h"

image* background_images[3];
image* sprite_images[sprite_count];
image* glyph_images[128];

namespace {

bool records_made = false;
bool pictures_loaded = false;

// Every picture with its size and without its pixels: a put from it draws
// nothing but covers what it would, so the game runs the same before they load.
void make_picture_records() {
    for (image*& img : background_images) img = create_image_without_pixels(704, 576);
    for (const sprite_run& run : sprite_runs)
        for (int index = run.first; index <= run.last; ++index)
            sprite_images[index] = create_image_without_pixels(run.width * 8, run.height * 8);
    for (int c = 32; c <= 127; ++c) glyph_images[c] = create_image_without_pixels(48, 56);
    records_made = true;
}

// What loading the pictures does to the palette, without the pictures.
void load_colour_tables() {
    for (const char* name : background_files) load_bmp_colours(graphics_file(name).c_str());
    load_bmp_colours(graphics_file(sprite_sheet_file).c_str());
    load_bmp_colours(graphics_file(font_file).c_str());
}

void enlarge_into(const image* source, image* target) {
    give_image_pixels(target);
    enlarge8(source, target);
}

void load_backgrounds() {
    image* work = create_image(88, 72);
    for (int i = 0; i < 3; ++i) {
        load_bmp(graphics_file(background_files[i]).c_str(), work);
        enlarge_into(work, background_images[i]);
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
            const source_rect cell{c.x, c.y, c.x + c.width - 1, c.y + c.height - 1};
            put_image(work, 0, 0, sheet, put_mode::copy, &cell);
            enlarge_into(work, sprite_images[index]);
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
        enlarge_into(work, glyph_images[c]);
    }
    destroy_image(work);
    destroy_image(strip);
}

void load_pictures() {
    load_backgrounds();
    load_sprites();
    load_font();
    pictures_loaded = true;
}

// Loaded late, when drawing starts, the pictures leave the palette as the
// game has set it since.
void load_missing_pictures() {
    if (pictures_loaded || !records_made) return;
    rgb palette[256];
    std::copy(screen_palette(), screen_palette() + 256, palette);
    load_pictures();
    for (int i = 0; i < 256; ++i) set_palette_entry(i, palette[i]);
}

}  // namespace

void load_graphics() {
    if (!records_made) make_picture_records();
    // A run without drawing never needs the pixels.
    if (pictures_loaded || !drawing())
        load_colour_tables();
    else
        load_pictures();
    on_drawing_resumed(load_missing_pictures);
}

void free_graphics() {
    records_made = pictures_loaded = false;
    on_drawing_resumed(nullptr);
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
