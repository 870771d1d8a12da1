// After a defeat: the craft crashes across the crash picture with two squids
// and explosions, the screen goes black, then the game-over picture comes up
// with the final score and the longest chain. 219 frames that no input
// shortens; the ending screen follows.
#include <string>

#include "assets/assets.h"
#include "combat/combat.h"
#include "present/input.h"
#include "present/screen.h"
#include "screens/screen_common.h"
#include "screens/screens.h"
#include "sound/sound.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {

constexpr int last_frame = 219;
constexpr int crash_frames = 49;
constexpr int game_over_frame = 65;

// The text in colour 0 with a rim of the glyphs' own colours, 8 pixels wide.
void draw_outlined_text(int x, int y, const std::string& text) {
    static const int rim[8][2] = {{-8, -8}, {0, -8}, {8, -8}, {-8, 0}, {8, 0}, {-8, 8}, {0, 8}, {8, 8}};
    for (const auto& offset : rim) draw_text(nullptr, x + offset[0], y + offset[1], text, -1);
    draw_text(nullptr, x, y, text, 0);
}

void crash_flight(int t, int& x, int& y) {
    x += 8;
    if (t % 2 == 0) x += 8;
    y += 8;
    put_sprite_colour_to_zero(nullptr, x, y, sprite_crashing_craft, 1);
    put_image(nullptr, x + 40, y + 48, sprite_images[sprite_squid_a0 + 6 + (t % 6) / 3], put_mode::transparent);
    put_image(nullptr, x + 192, y - 16, sprite_images[sprite_squid_b0 + 6 + ((t + 2) % 6) / 3], put_mode::transparent);
    if (t % 14 == 0) {
        spawn_effect(x + 56, y + 72);
        play_sample(sample_boom, 12, 255);
    }
    if (t % 14 == 3) {
        spawn_effect(x + 208, y);
        play_sample(sample_boom, 13, 255);
    }
    update_effects();
}

struct settling {
    int count = 0;
    int period = 0;
};

void game_over_picture(int t, int& x, int& y, settling& s) {
    // The figure settles in four steps, each slower than the last.
    if (s.period < 7 && ++s.count > s.period) {
        ++s.period;
        s.count = 0;
        x += 8;
        if (t % 3 == 0) x += 8;
        y -= 8;
    }
    put_sprite_colour_to_zero(nullptr, x, y, sprite_game_over_wreck, 1);
    if (t >= 76) draw_text(nullptr, 24, 8, "GAME OVER", 15);
    if (t == 115) play_sample(sample_explosion, 0, -1);
    if (t >= 115) draw_outlined_text(40, 112, "SCORE " + padded_number(score, 8));
    if (t == 165) play_sample(sample_explosion, 0, -1);
    if (t >= 165) draw_outlined_text(88, 200, "Max Chain " + padded_number(max_chain, 3));
}

}  // namespace

void results_screen() {
    part_on_show = part_results;
    for (effect& e : effects) e.active = 0;
    int x = 0, y = 0;
    settling figure;
    for (int t = 1; t <= last_frame; ++t) {
        if (t == 1) {
            show_picture(picture_crash);
            x = -320;
            y = -216;
        }
        if (t == game_over_frame) {
            show_picture(picture_game_over);
            x = 80;
            y = 304;
            figure = settling{0, 3};
            play_sample(sample_boom, 13, 255);
        }
        copy_page(picture_page, work_page);
        if (t <= crash_frames) {
            crash_flight(t, x, y);
        } else if (t < game_over_frame) {
            set_text_colour(0);
            clear_screen();
        } else {
            game_over_picture(t, x, y, figure);
        }
        copy_page(work_page, visible_page);
        sleep_plain(40);
    }
    wait_release();
    ending_screen();
}
