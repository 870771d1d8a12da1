// The squid aliens of a normal stage, and the supplies among them: launched
// one after another from the middle of the field, flying outward and growing.
#include <cmath>

#include "assets/assets.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "present/random.h"
#include "sound/sound.h"
#include "state/direction_tables.h"
#include "state/play_state.h"
#include "state/view.h"

squid squids[max_squids];
std::int32_t squid_count;
std::int32_t squids_in_flight;

namespace {

// First growth sprite of an alien, by colour scheme and variety.
const int squid_sprite_base[3][3] = {{sprite_squid_a0, sprite_squid_b0, sprite_squid_c0},
                                     {sprite_squid_a0, sprite_squid_b0, sprite_squid_d0},
                                     {sprite_squid_d0, sprite_squid_d0, sprite_squid_d0}};

int screen_x(const squid& s) { return to_pixel_cell(s.x) - 56 - scroll_x; }
int screen_y(const squid& s) { return to_pixel_cell(s.y) - 56 - scroll_y; }

bool may_count_down() {
    return !defeated && !banner_slots[0].active && !banner_slots[1].active && !bands_accelerating && !quota_reached;
}

void launch(squid& s) {
    ++squids_in_flight;
    s.state = squid_flying;
    s.kind = rnd() <= 0.05 ? kind_supply : kind_alien;
    s.variety = static_cast<std::int32_t>(std::floor(rnd() * 3));
    s.x = 344.0f;
    s.y = 280.0f;
    s.heading = static_cast<std::int32_t>(std::floor(rnd() * 65)) + 150;
    const float side = rnd() <= 0.5 ? -1.0f : 1.0f;
    s.dx = side * cos_table[s.heading];
    s.dy = sin_table[s.heading];
    s.frame = 0;
    s.age = 0;
}

// True when the squid left the field and its flight is over.
bool escape(squid& s, int index) {
    if (s.x > -64.0f && s.x < 752.0f) return false;
    s.state = squid_waiting;
    s.launch_timer = 30;
    if (s.kind == kind_alien) {
        play_sample(sample_munch, index + 1, -1);
        if (energy <= 0)
            defeated = -1;
        else
            energy -= 5;
    }
    --squids_in_flight;
    return true;
}

bool hit_by_shot(const squid& s) {
    const double h = s.age / 2;
    const double sx = shot_target_x, sy = shot_target_y;
    return sx > s.x - h && sx < s.x + h && sy > s.y - h && sy < s.y + h + 4;
}

void take_hit(squid& s, int index) {
    shot_missed = 0;
    chain_hit = s.kind == kind_alien ? -1 : 0;
    s.state = squid_exploding;
    shot_impact = 0;
    if (s.kind == kind_alien) {
        play_sample(sample_explosion, index + 1, -1);
        add_score(500 - 100 * ((s.frame + 2) / 2));
        if (--kills_left <= 0) {
            kills_left = 0;
            quota_reached = -1;
        }
    } else {
        play_sample(sample_exp_energy, index + 1, -1);
        add_score(10);
        heal();
    }
    s.frame = 0;
}

void fly(squid& s, int index) {
    ++s.age;
    s.x = s.x + s.dx;
    s.y = s.y + s.dy;
    s.frame = s.age / 14;
    const int sprite =
        s.kind == kind_alien ? squid_sprite_base[background_index][s.variety] + s.frame : sprite_supply0 + s.frame;
    put_image(nullptr, screen_x(s), screen_y(s), sprite_images[sprite], put_mode::transparent);
    if (escape(s, index)) return;
    if (shot_impact && hit_by_shot(s)) take_hit(s, index);
}

}  // namespace

void start_squid_wave() {
    for (int i = 0; i < squid_count; ++i) {
        squids[i].state = squid_waiting;
        squids[i].launch_timer = 30 * i + 10;
    }
}

void run_squid_pass() {
    for (int i = 0; i < squid_count; ++i) {
        squid& s = squids[i];
        switch (s.state) {
            case squid_waiting:
                if (may_count_down() && --s.launch_timer <= 0) {
                    s.launch_timer = 0;
                    s.state = squid_launching;
                }
                break;
            case squid_launching: launch(s); break;
            case squid_flying: fly(s, i); break;
            case squid_exploding:
                if (++s.frame >= 16) {
                    s.frame = 16;
                    s.state = squid_waiting;
                    --squids_in_flight;
                }
                break;
            default: break;
        }
    }
}

void draw_exploding_squids() {
    for (int i = 0; i < squid_count; ++i) {
        const squid& s = squids[i];
        if (s.state == squid_exploding)
            put_sprite_silhouette(nullptr, screen_x(s), screen_y(s), sprite_explosion0 + s.frame, random_colour(15));
    }
}
