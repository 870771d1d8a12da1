// Before every game: a short animation over the opening picture (a hoist
// brings a load to the launch craft, which then lifts off), then the
// instructions over streaming bars.
#include "assets/assets.h"
#include "present/image.h"
#include "present/input.h"
#include "present/screen.h"
#include "screens/screen_common.h"
#include "screens/screens.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {

// Each sequence runs frames until its counter reaches its end.
constexpr int opening_end = 240;
constexpr int instructions_end = 266;
constexpr int closing_band_frame = 255;
constexpr int fill_frame = 261;

struct opening_actors {
    int hoist_x = -120, hoist_y = 64, hoist_frame = 0;
    int load_x = -88, load_y = 136;
    int blinker_x = 16, blinker_y = 304, blinker_frame = 0;
    int blinker_count = 0, blinker_period = 10;
};

int snapped(int value) { return value & ~7; }

void move_actors(opening_actors& a, int t) {
    if (t <= 32) {
        a.hoist_x += 8;
        a.load_x = a.hoist_x + 32;
    }
    if (t >= 39 && t <= 57) {
        a.hoist_y += 8;
        a.load_y = a.hoist_y + 72;
    }
    if (t == 60) a.hoist_frame = 1;
    if (t >= 66 && t <= 84) a.hoist_y -= 8;
    if (t >= 90 && t <= 121) a.hoist_x -= 8;
    if (t >= 131 && ++a.blinker_count >= a.blinker_period) {
        // The craft's lights blink ever faster as it powers up.
        if (a.blinker_period > 3) --a.blinker_period;
        a.blinker_count = 0;
        a.blinker_frame ^= 1;
    }
    const int lift = t >= 201 ? 14 : t >= 191 ? 6 : t >= 181 ? 2 : 0;
    a.blinker_y -= lift;
    a.load_y -= lift;
}

void draw_actors(const opening_actors& a) {
    put_image(nullptr, 512, 64, sprite_images[sprite_control_tower], put_mode::transparent);
    draw_filled_box(nullptr, snapped(a.hoist_x) + 56, 0, snapped(a.hoist_x) + 64, snapped(a.hoist_y), 1);
    put_image(nullptr, snapped(a.hoist_x), snapped(a.hoist_y), sprite_images[sprite_hoist_closed + a.hoist_frame],
              put_mode::transparent);
    put_sprite_colour_to_zero(nullptr, snapped(a.blinker_x), snapped(a.blinker_y),
                              sprite_launch_craft_idle + a.blinker_frame, 1);
    put_image(nullptr, snapped(a.load_x), snapped(a.load_y) - 8 * a.blinker_frame, sprite_images[sprite_load],
              put_mode::transparent);
}

struct instruction_line {
    const char* text;
    int y;
    int first_frame;
};

const instruction_line instruction_lines[] = {
    {"Kill squid aliens", 8, 31},  {"continuously to", 72, 61},  {"raise chain combo", 136, 91},
    {"Capture enemy's", 264, 141}, {"supply to heal", 328, 171}, {"yourself", 392, 201},
};
constexpr int last_instruction_frame = 239;

void draw_instructions_frame(int t, int& phase) {
    lock_screen();
    if (t < fill_frame) {
        draw_filled_box(nullptr, 0, 0, 639, 479, 7);
        phase = (phase + 1) % 8;
        set_text_colour(8);
        // Bars stream away from the horizon on row 29, above and below it.
        for (int r = 0; r < 7; ++r) {
            const int v = band_rows[phase][r];
            if (28 - v >= 1) draw_bar(28 - v);
            if (30 + v <= 60) draw_bar(30 + v);
        }
    } else {
        draw_filled_box(nullptr, 0, 0, 639, 479, 9);
    }
    if (t >= closing_band_frame && t < fill_frame) {
        set_text_colour(9);
        const int w = band_rows[phase][t - closing_band_frame];
        for (int row = 29 - w; row <= 29 + w; ++row) draw_bar(row);
    }
    for (const instruction_line& line : instruction_lines)
        if (t >= line.first_frame && t <= last_instruction_frame) draw_text(nullptr, 16, line.y, line.text, -1);
    unlock_screen(-1, -1);
}

}  // namespace

void opening_sequence() {
    part_on_show = part_opening;
    show_picture(picture_opening);
    set_pages(work_page, visible_page);
    opening_actors actors;
    play_sequence(opening_end, [&actors](int t) {
        copy_page(picture_page, work_page);
        move_actors(actors, t);
        draw_actors(actors);
        copy_page(work_page, visible_page);
    });
    wait_release();
    instructions_screen();
}

void instructions_screen() {
    part_on_show = part_instructions;
    set_pages(visible_page, visible_page);
    int phase = 0;
    play_sequence(instructions_end, [&phase](int t) { draw_instructions_frame(t, phase); });
    wait_release();
}
