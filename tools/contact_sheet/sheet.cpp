#include "sheet.h"

#include <algorithm>
#include <cstdio>

#include "present/cp437_font.h"
#include "present/png_writer.h"
#include "present/screen.h"

namespace {
constexpr int label_colour = 15;
}  // namespace

void label(image* canvas, int x, int y, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 8; ++col)
                if (cp437_font[code][row] & (0x80 >> col)) {
                    const int px = x + (static_cast<int>(i) * 8 + col) * sheet_label_scale;
                    draw_filled_box(canvas, px, y + row * sheet_label_scale, px + sheet_label_scale - 1,
                                    y + row * sheet_label_scale + sheet_label_scale - 1, label_colour);
                }
    }
}

bool save(const std::string& path, const image* canvas) {
    if (!write_png(path, canvas->pixels.get(), static_cast<int>(canvas->width), static_cast<int>(canvas->height),
                   static_cast<int>(canvas->pitch), screen_palette())) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    std::printf("%s\n", path.c_str());
    return true;
}

void sheet_layout::place(int w, int h, int& x, int& y) {
    h += sheet_label_height;
    if (x_ + w > width_ && x_ > gap) {
        x_ = gap;
        y_ += row_height_ + gap;
        row_height_ = 0;
    }
    x = x_;
    y = y_;
    x_ += w + gap;
    row_height_ = std::max(row_height_, h);
}
