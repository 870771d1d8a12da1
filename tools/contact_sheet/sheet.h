#pragma once
// What the contact sheet's pages share: a canvas of palette indices with
// labels in the 8x8 character set, laid out in rows, saved as PNG.
#include <string>

#include "present/image.h"

constexpr int sheet_backdrop = 22;  // a mid grey of the neutral ramp: art of every colour and shade shows on it
constexpr int sheet_label_scale = 2;
constexpr int sheet_label_height = 8 * sheet_label_scale + 4;

// A label, doubled so it reads beside 8x art.
void label(image* canvas, int x, int y, const std::string& text);
// Writes the canvas with the screen's palette; prints its path.
bool save(const std::string& path, const image* canvas);

// Lays images out in rows no wider than the sheet, each with its label above it.
class sheet_layout {
public:
    explicit sheet_layout(int width) : width_(width) {}
    void place(int w, int h, int& x, int& y);
    int height() const { return y_ + row_height_ + gap; }
    static constexpr int gap = 16;

private:
    int width_;
    int x_ = gap, y_ = gap, row_height_ = 0;
};

// A sheet of labelled images: entry(i) gives image i, label_of(i) its label.
// Sprites go on in transparent mode, whole screens in copy mode.
template <typename Images, typename Labels>
bool render_sheet(const std::string& path, int width, int count, Images entry, Labels label_of,
                  put_mode mode = put_mode::transparent) {
    sheet_layout measure(width);
    int x = 0, y = 0;
    for (int i = 0; i < count; ++i)
        measure.place(static_cast<int>(entry(i)->width), static_cast<int>(entry(i)->height), x, y);
    image* canvas = create_image(width, measure.height());
    draw_filled_box(canvas, 0, 0, width - 1, measure.height() - 1, sheet_backdrop);
    sheet_layout layout(width);
    for (int i = 0; i < count; ++i) {
        layout.place(static_cast<int>(entry(i)->width), static_cast<int>(entry(i)->height), x, y);
        label(canvas, x, y, label_of(i));
        put_image(canvas, x, y + sheet_label_height, entry(i), mode);
    }
    const bool ok = save(path, canvas);
    destroy_image(canvas);
    return ok;
}

// The sprite sheet's layout and free space (layout_page.cpp).
bool render_layout_page(const std::string& path);
// The pages of the play field and of the screens (field_pages.cpp, screen_pages.cpp).
bool render_squid_page(const std::string& path);
bool render_field_page(const std::string& path);
bool render_screen_page(const std::string& path, const std::string& recorded_game);
