// The field under everything: the background seen through the scroll, the
// ground box, the seven ground bands, and the collapse after a defeat.
#include <cmath>

#include "assets/assets.h"
#include "combat/combat.h"
#include "flow/flow_internal.h"
#include "present/random.h"
#include "present/screen.h"
#include "sound/sound.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {

const std::int32_t ground_colours[3] = {1, 2, 4};
const std::int32_t band_colours[3] = {9, 10, 12};

void advance_band_phase() { band_phase = (band_phase + 1) % 8; }

// The field flashes through the three schemes, a new one every frame (25
// a second), except in calm mode, where it keeps the one it began in; the
// bursts come and sound as always.
void run_collapse() {
    if (!calm_mode) background_index = (background_index + 1) % 3;
    if (++defeat_frames >= 50) frame_outcome = outcome_game_over;
    if (--burst_countdown < 0) {
        burst_countdown = static_cast<std::int32_t>(std::floor(rnd() * 3)) + 4;
        for (int i = 0; i < 4; ++i) {
            const auto y = static_cast<std::int32_t>(std::floor(rnd() * 60)) * 8;
            const auto x = static_cast<std::int32_t>(std::floor(rnd() * 80)) * 8;
            spawn_effect(x, y);
        }
        play_sample(sample_boom, 12, 255);
    }
}

void step_bands() {
    if (bands_stopped) return;
    if (bands_braking) {
        if (++band_step_count >= band_step_frames) {
            band_step_count = 0;
            band_step_frames += 2;
            if (band_step_frames >= 16) {
                band_step_frames = 16;
                bands_stopped = -1;
                carrier.active = -1;
                carrier.state = carrier_entering;
            }
            advance_band_phase();
        }
    } else if (bands_accelerating) {
        if (++band_step_count >= band_step_frames) {
            band_step_count = 0;
            band_step_frames -= 2;
            if (band_step_frames <= 0) {
                band_step_frames = 0;
                bands_accelerating = 0;
            }
            advance_band_phase();
        }
    } else {
        advance_band_phase();
    }
}

void print_bands() {
    set_text_colour(band_colours[background_index]);
    for (int band = 0; band < 7; ++band) {
        const int row = band_rows[band_phase][band] + 34 - scroll_y / 8;
        if (row > 60) continue;
        locate_text(row, 1);
        print_text(full_blocks(80));
    }
}

}  // namespace

void draw_play_field() {
    if (defeated)
        run_collapse();
    else if (bonus_stage)
        background_index = 2;
    else
        background_index = (stage + 1) % 2;
    step_bands();
    draw_field();
}

void draw_field() {
    put_image(nullptr, -scroll_x, -scroll_y, background_images[background_index], put_mode::copy);
    draw_filled_box(nullptr, 0, 272 - scroll_y, 639, 479, ground_colours[background_index]);
    print_bands();
}
