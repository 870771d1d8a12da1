// The combat half of a frame: squids, carrier and drops meet the landing
// shot; then the stage change, the explosions, the chain and the displays.
#include <cmath>

#include "assets/assets.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "present/random.h"
#include "state/play_state.h"

std::int32_t score;
std::int32_t energy;
std::int32_t stage;
std::int32_t bonus_stage;
std::int32_t kills_left;
std::int32_t quota_reached;
std::int32_t chain;
std::int32_t max_chain;
std::int32_t target_marker_hidden;

namespace {

constexpr std::int32_t score_ceiling = 99'999'990;

void change_stage() {
    bands_stopped = 0;
    quota_reached = 0;
    if (stage % 2 != 0 || bonus_stage) {
        ++stage;
        bonus_stage = 0;
        show_banner(144, 104, "STAGE " + padded_number(stage, 2), 4, 30);
        if (stage == 3) target_marker_hidden = -1;
    } else {
        bonus_stage = -1;
        show_banner(72, 128, "BONUS STAGE", -2, 50);
    }
    kills_left = 2 * stage + 4;
    if (!bonus_stage && squid_count < max_squids) ++squid_count;
    bands_braking = 0;
    start_squid_wave();
    squids_in_flight = 0;
    if (bonus_stage) {
        bands_braking = -1;
        band_step_count = 0;
        band_step_frames = 0;
        bands_stopped = 0;
    } else if (stage % 2 != 0) {
        bands_accelerating = -1;
        band_step_frames = 8;
        band_step_count = 0;
    }
}

void run_chain_step() {
    if (!shot_landed) return;
    if (!shot_missed) {
        if (chain_hit) ++chain;
        return;
    }
    if (chain != 0) {
        show_popup(424, 352, "+" + padded_number(static_cast<std::int64_t>(chain) * 100, 4), 15, 10);
        add_score(chain * 100);
        if (chain > max_chain) max_chain = chain;
    }
    chain = 0;
}

}  // namespace

void add_score(std::int32_t points) {
    const std::int64_t sum = static_cast<std::int64_t>(score) + points;
    score = sum >= score_ceiling ? score_ceiling : static_cast<std::int32_t>(sum);
}

void heal() { energy = energy + 10 > 100 ? 100 : energy + 10; }

std::int32_t random_colour(int n) { return static_cast<std::int32_t>(std::nearbyint(rnd() * n)); }

std::int32_t to_pixel_cell(double value) { return (static_cast<std::int32_t>(std::nearbyint(value)) >> 3) << 3; }

void run_combat_pass() {
    if (!bonus_stage) run_squid_pass();
    if (bonus_stage && carrier.active) run_carrier_pass();
    run_drop_pass();
    shot_impact = 0;
    if (!defeated && quota_reached && squids_in_flight == 0) change_stage();
    draw_exploding_squids();
    draw_exploding_drops();
    draw_shot();
    run_chain_step();
    run_banner_slots();
    draw_chain_line();
    run_popup();
    draw_status();
}
