#pragma once
// Off-screen images of 8-bit palette indices, BMP loading and the put modes.
// A null target means the work page of the screen.
#include <cstdint>
#include <memory>

#include "present/screen.h"

struct image {
    std::uint32_t width;
    std::uint32_t height;
    std::uint32_t pitch;  // bytes per row, a multiple of 16
    std::unique_ptr<std::uint8_t[]> pixels;
};

struct source_rect {
    int x1, y1, x2, y2;
};

enum class put_mode { copy, transparent };

image* create_image(int width, int height);
// An image of that size whose pixels come later: until give_image_pixels,
// nothing is drawn from it or onto it, though a put from it covers what it would.
image* create_image_without_pixels(int width, int height);
void give_image_pixels(image* img);  // zeroed, colour 0; an image that has them keeps them
void destroy_image(image* img);

enum bmp_result { bmp_ok = 0, bmp_not_found = 1, bmp_unreadable = 2, bmp_not_supported = 3 };
// Onto the work page while drawing is off, only the colour table is loaded.
bmp_result load_bmp(const char* path, image* target);
// Sets the palette from the picture's colour table as load_bmp would, with
// the same checks, and loads no pixels.
bmp_result load_bmp_colours(const char* path);

void put_image(image* target, int x, int y, const image* source, put_mode mode, const source_rect* rect = nullptr);
void draw_filled_box(image* target, int x1, int y1, int x2, int y2, int colour);
int read_pixel(const image* source, int x, int y);

// --- the custom put mode -------------------------------------------------

// A view of the pixels an operation draws on: an image or the work page.
struct pixel_surface {
    std::uint8_t* pixels;
    int width;
    int height;
    int pitch;
};

// The target's pixels, or no pixels at all when there is nothing to draw on.
pixel_surface surface_of(image* target);
// The same for an operation that draws: no pixels for the screen while
// drawing is off (screen.h), so that the operation does nothing.
pixel_surface drawn_surface_of(image* target);
// The part of a put that lies inside the target: source origin, target origin, size.
struct put_span {
    int source_x, source_y, target_x, target_y, width, height;
};
bool clip_put(const pixel_surface& target, int x, int y, const image& source, const source_rect* rect, put_span& span);
void note_surface_drawn(image* target);

// Runs row_function(source row, target row, width) over every row of the
// part of a put that lies inside the target.
template <typename RowFunction>
void put_rows(image* target, int x, int y, const image* source, const source_rect* rect, RowFunction row_function) {
    if (source == nullptr || source->pixels == nullptr) return;
    const pixel_surface dest = drawn_surface_of(target);
    put_span span;
    if (dest.pixels == nullptr || !clip_put(dest, x, y, *source, rect, span)) return;
    for (int row = 0; row < span.height; ++row)
        row_function(source->pixels.get() + (span.source_y + row) * source->pitch + span.source_x,
                     dest.pixels + (span.target_y + row) * dest.pitch + span.target_x, span.width);
    count_bytes_drawn(static_cast<std::size_t>(span.width) * span.height);
    note_surface_drawn(target);
}

// Custom mode: every pixel of the (clipped) source becomes
// pixel_function(source colour, destination colour), colour 0 included.
template <typename PixelFunction>
void put_image_custom(image* target, int x, int y, const image* source, PixelFunction pixel_function,
                      const source_rect* rect = nullptr) {
    put_rows(target, x, y, source, rect, [&pixel_function](const std::uint8_t* in, std::uint8_t* out, int width) {
        for (int col = 0; col < width; ++col)
            out[col] = static_cast<std::uint8_t>(pixel_function(std::uint32_t{in[col]}, std::uint32_t{out[col]}));
    });
}
