#include "present/image.h"

#include <algorithm>
#include <cstring>

#include "present/page_history.h"
#include "present/row_kernels.h"
#include "present/screen.h"

image* create_image_without_pixels(int width, int height) {
    if (!screen_is_open() || width <= 0 || height <= 0) return nullptr;
    auto* img = new image;
    img->width = static_cast<std::uint32_t>(width);
    img->height = static_cast<std::uint32_t>(height);
    img->pitch = (img->width + 15u) & ~15u;
    return img;
}

void give_image_pixels(image* img) {
    if (img != nullptr && img->pixels == nullptr)
        img->pixels = std::make_unique<std::uint8_t[]>(std::size_t{img->pitch} * img->height);  // zeroed: colour 0
}

image* create_image(int width, int height) {
    image* img = create_image_without_pixels(width, height);
    give_image_pixels(img);
    return img;
}

void destroy_image(image* img) { delete img; }

pixel_surface surface_of(image* target) {
    if (target != nullptr) {
        if (target->pixels == nullptr) return {nullptr, 0, 0, 0};
        return {target->pixels.get(), static_cast<int>(target->width), static_cast<int>(target->height),
                static_cast<int>(target->pitch)};
    }
    if (!screen_is_open()) return {nullptr, 0, 0, 0};
    return {work_page_pixels(), screen_width, screen_height, screen_width};
}

pixel_surface drawn_surface_of(image* target) {
    if (target == nullptr && skip_drawing_on_work_page()) return {nullptr, 0, 0, 0};
    return surface_of(target);
}

namespace {

// Whether a box from (x1, y1) to (x2, y2) covers the whole screen.
bool covers_screen(const image* target, int x1, int y1, int x2, int y2) {
    return target == nullptr && x1 <= 0 && y1 <= 0 && x2 >= screen_width - 1 && y2 >= screen_height - 1;
}

}  // namespace

void note_surface_drawn(image* target) {
    if (target == nullptr) note_work_page_drawn();
}

bool clip_put(const pixel_surface& target, int x, int y, const image& source, const source_rect* rect, put_span& span) {
    const int source_width = static_cast<int>(source.width);
    const int source_height = static_cast<int>(source.height);
    int sx1 = 0, sy1 = 0, sx2 = source_width - 1, sy2 = source_height - 1;
    if (rect != nullptr) {
        sx1 = std::clamp(std::min(rect->x1, rect->x2), 0, source_width - 1);
        sx2 = std::clamp(std::max(rect->x1, rect->x2), 0, source_width - 1);
        sy1 = std::clamp(std::min(rect->y1, rect->y2), 0, source_height - 1);
        sy2 = std::clamp(std::max(rect->y1, rect->y2), 0, source_height - 1);
    }
    // Work in 64 bits: a far-away position must not overflow the clipping sums.
    long long left = x, top = y;
    long long right = left + (sx2 - sx1), bottom = top + (sy2 - sy1);
    if (right < 0 || bottom < 0 || left >= target.width || top >= target.height) return false;
    const long long skip_x = left < 0 ? -left : 0;
    const long long skip_y = top < 0 ? -top : 0;
    right = std::min<long long>(right, target.width - 1);
    bottom = std::min<long long>(bottom, target.height - 1);
    span.source_x = static_cast<int>(sx1 + skip_x);
    span.source_y = static_cast<int>(sy1 + skip_y);
    span.target_x = static_cast<int>(left + skip_x);
    span.target_y = static_cast<int>(top + skip_y);
    span.width = static_cast<int>(right - (left + skip_x) + 1);
    span.height = static_cast<int>(bottom - (top + skip_y) + 1);
    return span.width > 0 && span.height > 0;
}

void put_image(image* target, int x, int y, const image* source, put_mode mode, const source_rect* rect) {
    if (mode == put_mode::copy) {
        put_rows(target, x, y, source, rect,
                 [](const std::uint8_t* in, std::uint8_t* out, int width) { std::memmove(out, in, width); });
        put_span span;
        if (target == nullptr && source != nullptr && clip_put(surface_of(nullptr), x, y, *source, rect, span)) {
            if (span.width == screen_width && span.height == screen_height)
                note_work_page_covered(-1);
            else
                note_work_page_area_covered(span.target_x, span.target_y, span.target_x + span.width - 1,
                                            span.target_y + span.height - 1);
        }
        return;
    }
    put_rows(target, x, y, source, rect, transparent_row);
}

namespace {

void fill_box(image* target, const pixel_surface& dest, int x1, int y1, int x2, int y2, int colour) {
    if (x1 > x2) std::swap(x1, x2);
    if (y1 > y2) std::swap(y1, y2);
    const bool whole_screen = covers_screen(target, x1, y1, x2, y2);
    if (whole_screen) note_work_page_covered(static_cast<std::uint8_t>(colour));
    if (x2 < 0 || y2 < 0 || x1 >= dest.width || y1 >= dest.height) return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, dest.width - 1);
    y2 = std::min(y2, dest.height - 1);
    if (target == nullptr && !whole_screen) note_work_page_area_covered(x1, y1, x2, y2);
    if (dest.pixels == nullptr) return;
    for (int y = y1; y <= y2; ++y)
        std::memset(dest.pixels + y * dest.pitch + x1, static_cast<std::uint8_t>(colour), x2 - x1 + 1);
    count_bytes_drawn(static_cast<std::size_t>(x2 - x1 + 1) * (y2 - y1 + 1));
    note_surface_drawn(target);
}

}  // namespace

void draw_filled_box(image* target, int x1, int y1, int x2, int y2, int colour) {
    if (target != nullptr) {
        fill_box(target, surface_of(target), x1, y1, x2, y2, colour);
        return;
    }
    // On the work page the box tells the page history itself, drawn or not;
    // most boxes of a run without drawing or history are nothing to do.
    if (!drawing() && !page_history_kept()) return;
    pixel_surface dest = surface_of(nullptr);
    if (!drawing()) dest.pixels = nullptr;
    fill_box(nullptr, dest, x1, y1, x2, y2, colour);
}

int read_pixel(const image* source, int x, int y) {
    const pixel_surface view = surface_of(const_cast<image*>(source));
    if (view.pixels == nullptr || x < 0 || y < 0 || x >= view.width || y >= view.height) return -1;
    if (source == nullptr) note_work_page_pixel_read(x, y);
    return view.pixels[y * view.pitch + x];
}
