// The sprite sheet as the art compiler lays it out: every cell outlined over
// the art in it, and the space no sprite uses checkered, with its size, so a
// new sprite's place can be chosen at a glance.
#include <string>
#include <vector>

#include "assets/picture_files.h"
#include "assets/sprites.h"
#include "present/image.h"
#include "present/screen.h"
#include "sheet.h"

namespace {

constexpr int scale = 4;
constexpr int outline_colour = 15;
constexpr int checker_colour = 0;

void outline(image* canvas, int x0, int y0, int x1, int y1) {
    draw_filled_box(canvas, x0, y0, x1, y0, outline_colour);
    draw_filled_box(canvas, x0, y1, x1, y1, outline_colour);
    draw_filled_box(canvas, x0, y0, x0, y1, outline_colour);
    draw_filled_box(canvas, x1, y0, x1, y1, outline_colour);
}

}  // namespace

bool render_layout_page(const std::string& path) {
    image* sheet = create_image(sprite_sheet_width, sprite_sheet_height);
    load_bmp((std::string("graphics/") + sprite_sheet_file).c_str(), sheet);
    std::vector<bool> used(static_cast<std::size_t>(sprite_sheet_width) * sprite_sheet_height, false);
    for (int i = 0; i < sprite_count; ++i) {
        const sprite_cell c = cell_of(i);
        for (int y = c.y; y < c.y + c.height; ++y)
            for (int x = c.x; x < c.x + c.width; ++x) used[static_cast<std::size_t>(y) * sprite_sheet_width + x] = true;
    }
    int free_pixels = 0;
    for (const bool u : used) free_pixels += u ? 0 : 1;

    const int left = sheet_layout::gap, top = sheet_layout::gap + sheet_label_height;
    const int width = 2 * left + sprite_sheet_width * scale + 440;
    image* canvas = create_image(width, top + sprite_sheet_height * scale + sheet_layout::gap);
    draw_filled_box(canvas, 0, 0, width - 1, static_cast<int>(canvas->height) - 1, sheet_backdrop);
    for (int y = 0; y < sprite_sheet_height; ++y)
        for (int x = 0; x < sprite_sheet_width; ++x) {
            const int px = left + x * scale, py = top + y * scale;
            if (!used[static_cast<std::size_t>(y) * sprite_sheet_width + x]) {
                if ((x + y) % 2 == 0) draw_filled_box(canvas, px, py, px + scale - 1, py + scale - 1, checker_colour);
            } else if (const int colour = read_pixel(sheet, x, y); colour != 0) {
                draw_filled_box(canvas, px, py, px + scale - 1, py + scale - 1, colour);
            }
        }
    for (int i = 0; i < sprite_count; ++i) {
        const sprite_cell c = cell_of(i);
        const int x0 = left + c.x * scale, y0 = top + c.y * scale;
        const int x1 = x0 + c.width * scale - 1, y1 = y0 + c.height * scale - 1;
        outline(canvas, x0, y0, x1, y1);
    }
    const int total = sprite_sheet_width * sprite_sheet_height;
    label(canvas, left, sheet_layout::gap,
          std::string(sprite_sheet_file) + " " + std::to_string(sprite_sheet_width) + "x" +
              std::to_string(sprite_sheet_height) + ": " + std::to_string(free_pixels) + " of " +
              std::to_string(total) + " pixels free (" + std::to_string(100 * free_pixels / total) + "%)");
    const bool ok = save(path, canvas);
    destroy_image(canvas);
    destroy_image(sheet);
    return ok;
}
