// Pages that show the art where the game shows it: every squid set at every
// size over each background's sky and ground, and each play background as a
// frame of play with its ground, bands, status texts and squids.
#include <cstring>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "flow/flow_internal.h"
#include "present/screen.h"
#include "sheet.h"
#include "state/play_state.h"

namespace {

constexpr int cell = 128;  // a squid sprite, enlarged
struct squid_set {
    const char* name;
    int first_sprite;
};
const squid_set sets[] = {{"A", sprite_squid_a0},
                          {"B", sprite_squid_b0},
                          {"C", sprite_squid_c0},
                          {"D", sprite_squid_d0},
                          {"supply", sprite_supply0}};

// The play field of a background, drawn by the game on the work page.
void draw_field_of(int background) {
    start_game();
    stage = background == 1 ? 2 : 1;
    bonus_stage = background == 2 ? -1 : 0;
    bands_accelerating = 0;
    set_pages(0, 1);
    draw_play_field();
}

// Rows first_row.. of the work page, repeated across the width of the canvas.
void copy_page_strip(image* canvas, int x, int y, int width, int first_row) {
    const std::uint8_t* page = work_page_pixels();
    for (int row = 0; row < cell; ++row)
        for (int done = 0; done < width; done += screen_width)
            std::memcpy(canvas->pixels.get() + (y + row) * canvas->pitch + x + done,
                        page + (first_row + row) * screen_width, std::min(screen_width, width - done));
}

image* copy_of_work_page() {
    image* frame = create_image(screen_width, screen_height);
    for (int row = 0; row < screen_height; ++row)
        std::memcpy(frame->pixels.get() + row * frame->pitch, work_page_pixels() + row * screen_width, screen_width);
    return frame;
}

}  // namespace

bool render_squid_page(const std::string& path) {
    constexpr int sky_row = 96, ground_row = 336;
    const int width = 8 * cell + 2 * sheet_layout::gap;
    const int row_height = sheet_label_height + cell + sheet_layout::gap / 2;
    const int rows = 3 * std::size(sets) * 2;
    image* canvas = create_image(width, rows * row_height + sheet_layout::gap);
    draw_filled_box(canvas, 0, 0, width - 1, static_cast<int>(canvas->height) - 1, sheet_backdrop);
    int y = sheet_layout::gap;
    for (int background = 0; background < 3; ++background) {
        draw_field_of(background);
        for (const squid_set& set : sets) {
            for (const int strip : {sky_row, ground_row}) {
                label(canvas, sheet_layout::gap, y,
                      "BG" + std::to_string(background) + " " + set.name + (strip == sky_row ? " sky" : " ground"));
                copy_page_strip(canvas, sheet_layout::gap, y + sheet_label_height, 8 * cell, strip);
                for (int frame = 0; frame < growth_frames; ++frame)
                    put_image(canvas, sheet_layout::gap + frame * cell, y + sheet_label_height,
                              sprite_images[set.first_sprite + frame], put_mode::transparent);
                y += row_height;
            }
        }
    }
    const bool ok = save(path, canvas);
    destroy_image(canvas);
    return ok;
}

bool render_field_page(const std::string& path) {
    std::vector<image*> frames;
    for (int background = 0; background < 3; ++background) {
        draw_field_of(background);
        // One squid of each set at three sizes: small over the sky, grown at
        // the horizon, full size over the ground.
        for (int s = 0; s < 4; ++s)
            for (int size = 0; size < 3; ++size)
                put_image(nullptr, 16 + 156 * s, 72 + 120 * size,
                          sprite_images[sets[s].first_sprite + 2 + 5 * size / 2], put_mode::transparent);
        chain = 7;
        energy = 70;
        score = 12340;
        player_x = 560;
        player_y = 330;
        if (background == 1) show_popup(424, 352, "+0700", 15, 10);
        draw_chain_line();
        draw_status();
        if (background == 1) draw_text(nullptr, 424, 352, "+0700", 15);
        if (background == 2)
            draw_text(nullptr, 72, 128, "BONUS STAGE", random_colour(15));
        else
            draw_text(nullptr, 144, 104, "STAGE 0" + std::to_string(stage), 4);
        frames.push_back(copy_of_work_page());
    }
    const bool ok = render_sheet(
        path, 3 * (screen_width + sheet_layout::gap) + sheet_layout::gap, 3, [&](int i) { return frames[i]; },
        [](int i) { return "play field BG" + std::to_string(i); }, put_mode::copy);
    for (image* frame : frames) destroy_image(frame);
    popup.active = 0;
    return ok;
}
