// The fixed status display of a game: the shot's target marker and beam, the
// chain line, the aiming cursor, the energy gauge and the score line.
#include <string>

#include "assets/assets.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "present/screen.h"
#include "state/play_state.h"
#include "state/view.h"

namespace {

const std::int32_t energy_colours[3] = {14, 10, 14};
// The shot's time runs 2..16 in steps of 2 while it flies: beam1, beam3, ..., beam15.
constexpr int beam_sprite_base = sprite_beam0 - 1;

void print_cells(int row, int column, int count, int colour) {
    set_text_colour(colour);
    locate_text(row, column);
    print_text(full_blocks(count));
}

void draw_energy_gauge() {
    print_cells(2, 58, 22, 15);
    print_cells(5, 58, 22, 15);
    for (const int row : {3, 4}) {
        print_cells(row, 58, 1, 15);
        print_cells(row, 59, 20, 4);
        print_cells(row, 79, 1, 15);
    }
    const int filled = (energy + 4) / 5;
    for (const int row : {3, 4}) {
        set_text_colour(energy_colours[background_index]);
        locate_text(row, 59);
        print_text(full_blocks(filled));
    }
}

}  // namespace

void draw_shot() {
    if (!shot_active) return;
    const int x = shot_target_x - scroll_x;
    const int y = shot_target_y - scroll_y;
    if (!target_marker_hidden) {
        const std::int32_t colour = random_colour(16);
        draw_filled_box(nullptr, x - 8, y, x + 16, y + 8, colour);
        draw_filled_box(nullptr, x, y - 8, x + 8, y + 16, colour);
    }
    put_sprite_silhouette(nullptr, shot_x - 64 - scroll_x, shot_y - scroll_y, beam_sprite_base + shot_time, 15);
}

void draw_chain_line() {
    if (popup.active) {
        draw_text(nullptr, 8, 8, "Chain", 2);
        draw_text(nullptr, 216, 8, "BREAK", 15);
    } else {
        draw_text(nullptr, 8, 8, "Chain  " + padded_number(chain, 3), 2);
    }
}

void draw_status() {
    if (!defeated) put_sprite_silhouette(nullptr, player_x - 64, player_y - 64, sprite_cursor, 15);
    draw_energy_gauge();
    draw_text(nullptr, 8, 416, "SCORE", -1);
    draw_text(nullptr, 320, 416, padded_number(score, 8), -1);
}
