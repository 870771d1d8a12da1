// Renders the game's art for people to review at a glance: every sprite with
// its index, every glyph, the backgrounds and the story pictures, as PNGs.
//   korvane-contact-sheet OUTPUT_FOLDER      (run in a game folder)
#include <cstdio>
#include <string>

#include "assets/assets.h"
#include "present/cp437_font.h"
#include "present/headless_platform.h"
#include "present/image.h"
#include "present/png_writer.h"
#include "present/screen.h"

namespace {

constexpr int backdrop = 8;  // dark grey: neither sprites nor skies use it much
constexpr int label_colour = 15;
constexpr int label_scale = 2;

// A label in the 8x8 character set, doubled so it reads beside 8x art.
void label(image* canvas, int x, int y, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto code = static_cast<unsigned char>(text[i]);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 8; ++col)
                if (cp437_font[code][row] & (0x80 >> col)) {
                    const int px = x + (static_cast<int>(i) * 8 + col) * label_scale;
                    draw_filled_box(canvas, px, y + row * label_scale, px + label_scale - 1,
                                    y + row * label_scale + label_scale - 1, label_colour);
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

// Lays images out in rows no wider than the sheet, each with its label above it.
class sheet_layout {
public:
    explicit sheet_layout(int width) : width_(width) {}
    void place(const image* img, int& x, int& y) {
        const int w = static_cast<int>(img->width), h = static_cast<int>(img->height) + label_height;
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
    int height() const { return y_ + row_height_ + gap; }
    static constexpr int gap = 16;
    static constexpr int label_height = 8 * label_scale + 4;

private:
    int width_;
    int x_ = gap, y_ = gap, row_height_ = 0;
};

template <typename Images>
bool render_sheet(const std::string& path, int width, int count, Images entry, const std::string& prefix, int first) {
    sheet_layout measure(width);
    for (int i = 0; i < count; ++i) {
        int x, y;
        measure.place(entry(i), x, y);
    }
    image* canvas = create_image(width, measure.height());
    draw_filled_box(canvas, 0, 0, width - 1, measure.height() - 1, backdrop);
    sheet_layout layout(width);
    for (int i = 0; i < count; ++i) {
        int x, y;
        layout.place(entry(i), x, y);
        label(canvas, x, y, prefix + std::to_string(first + i));
        put_image(canvas, x, y + sheet_layout::label_height, entry(i), put_mode::transparent);
    }
    const bool ok = save(path, canvas);
    destroy_image(canvas);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER   (run in a game folder)\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    headless_platform platform({}, {}, std::nullopt);
    install_platform(&platform);
    open_screen(screen_width, screen_height, 8, screen_pages, false);
    load_graphics();

    bool ok = render_sheet(
        out + "/sprites.png", 1300, sprite_count, [](int i) { return sprite_images[i]; }, "", 0);
    ok &= render_sheet(
        out + "/glyphs.png", 1300, 96, [](int i) { return glyph_images[32 + i]; }, "", 32);
    ok &= render_sheet(
        out + "/backgrounds.png", 2200, 3, [](int i) { return background_images[i]; }, "BG", 0);

    const char* const pictures[4] = {"graphics/title.bmp", "graphics/opening.bmp", "graphics/crashing.bmp",
                                     "graphics/ending.bmp"};
    image* pictures_enlarged[4];
    image* picture = create_image(80, 60);
    for (int i = 0; i < 4; ++i) {
        load_bmp(pictures[i], picture);
        pictures_enlarged[i] = create_image(640, 480);
        enlarge8(picture, pictures_enlarged[i]);
    }
    ok &= render_sheet(
        out + "/pictures.png", 1340, 4, [&](int i) { return pictures_enlarged[i]; }, "picture ", 0);
    for (image* img : pictures_enlarged) destroy_image(img);
    destroy_image(picture);
    free_graphics();
    install_platform(nullptr);
    return ok ? 0 : 1;
}
