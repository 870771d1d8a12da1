#pragma once
// The game's pictures, cut from their files and enlarged eight times, and the
// game's own text and tinted-sprite drawing on top of them.
#include <cstdint>
#include <string>
#include <string_view>

#include "assets/sprites.h"
#include "present/image.h"

extern image* background_images[3];
extern image* sprite_images[sprite_count];
extern image* glyph_images[128];  // character codes 32..127

void load_graphics();
void free_graphics();
// Fills every 8x8 block of the target with the colour of the source pixel.
void enlarge8(const image* source, image* target);

// Drawn width of each character's glyph in font pixels, codes 32..127.
extern const std::int32_t glyph_widths[128];

// Colour -1 keeps the glyphs' own colours; any other is one palette index.
void draw_text(image* target, int x, int y, std::string_view text, std::int32_t colour);
void put_sprite_silhouette(image* target, int x, int y, int index, std::int32_t colour);
void put_sprite_colour_to_zero(image* target, int x, int y, int index, std::int32_t colour);
// Any image as a one-colour silhouette (what put_sprite_silhouette does for a sprite).
void put_silhouette(image* target, int x, int y, const image* source, std::int32_t colour);
std::uint32_t silhouette_pixel(std::uint32_t source, std::uint32_t destination, const void* parameter);
std::uint32_t colour_to_zero_pixel(std::uint32_t source, std::uint32_t destination, const void* parameter);

// A row of count full blocks (character 219), 0..80 of them: what the
// energy gauge, the ground bands and the screens' bars print.
std::string_view full_blocks(int count);

// How the game shows a number: the last n characters of n-1 zeros followed
// by the decimal value ("Hi Score 000000-5", "STAGE 00" at stage 100).
std::string padded_number(std::int64_t value, int digits);
