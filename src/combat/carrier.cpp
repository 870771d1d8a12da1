// The bonus stage's carrier: it comes down, drifts and bobs, shows items in
// its four hatches and lets them fall, then rises out of the field.
#include <cmath>

#include "assets/assets.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "present/random.h"
#include "sound/sound.h"
#include "state/play_state.h"
#include "state/view.h"

carrier_record carrier;
drop drops[max_drops];

namespace {

const std::int32_t hatch_offsets[4] = {-18, -6, 6, 18};
constexpr int supply_in_hatch_sprite = sprite_supply0 + 4;
constexpr int falling_supply_sprite = sprite_supply0 + 6;

void hover() {
    carrier_record& c = carrier;
    c.cell_x += c.step_x;
    if (c.cell_x >= 70) c.step_x = -c.step_x;
    if (c.cell_x <= 17) c.step_x = -c.step_x;
    c.cell_y += c.step_y;
    c.spring_toggle ^= 1;
    if (c.cell_y > 12 && c.spring_toggle == 1) --c.step_y;
    if (c.cell_y <= 12 && c.spring_toggle == 1) ++c.step_y;
    if (--c.hover_timer <= 0) c.state = carrier_leaving;
    if (c.hover_timer > 30 && rnd() < 0.07) {
        int j = static_cast<int>(std::floor(rnd() * 4));
        if (c.hatch_open[j]) {
            j = -1;
            for (int k = 0; k < 4 && j < 0; ++k)
                if (!c.hatch_open[k]) j = k;
        }
        if (j >= 0) {
            c.hatch_open[j] = -1;
            c.hatch_timer[j] = 5;
            c.hatch_kind[j] = rnd() <= 0.2 ? kind_supply : kind_alien;
            c.hatch_variety[j] = static_cast<std::int32_t>(std::floor(rnd() * 3));
        }
    }
}

void step_carrier() {
    carrier_record& c = carrier;
    switch (c.state) {
        case carrier_entering:
            c.cell_x = 43;
            c.cell_y = -30;
            c.hover_timer = 160;
            c.step_x = 1;
            c.step_y = 1;
            c.state = carrier_descending;
            break;
        case carrier_descending:
            if (++c.cell_y >= 8) c.state = carrier_hovering;
            break;
        case carrier_hovering: hover(); break;
        case carrier_leaving:
            if (--c.cell_y <= -50) c.state = carrier_gone;
            break;
        case carrier_gone:
            quota_reached = -1;
            c.active = 0;
            break;
        default: break;
    }
}

void release_item(int hatch) {
    for (int slot = 0; slot < max_drops; ++slot) {
        drop& d = drops[slot];
        if (d.active) continue;
        play_sample(sample_fall, slot + 1, 64);
        d.active = -1;
        d.cell_x = carrier.cell_x + hatch_offsets[hatch];
        d.cell_y = carrier.cell_y;
        d.age = 0;
        d.kind = carrier.hatch_kind[hatch];
        d.variety = carrier.hatch_variety[hatch];
        d.state = drop_falling;
        return;
    }
}

void run_hatches() {
    carrier_record& c = carrier;
    for (int j = 0; j < 4; ++j) {
        if (c.hatch_open[j] && --c.hatch_timer[j] == 0) {
            c.hatch_open[j] = 0;
            release_item(j);
        }
        if (c.hatch_open[j]) {
            const int sprite =
                c.hatch_kind[j] == kind_alien ? hatch_sprite(c.hatch_variety[j]) : supply_in_hatch_sprite;
            put_image(nullptr, (c.cell_x + hatch_offsets[j]) * 8 - 64 - scroll_x, c.cell_y * 8 - 64 - scroll_y,
                      sprite_images[sprite], put_mode::transparent);
        }
    }
}

bool caught(const drop& d) {
    const std::int32_t sx = shot_target_x, sy = shot_target_y;
    const std::int32_t left = d.kind == kind_alien ? d.cell_x * 8 - 56 : d.cell_x * 8 - 48;
    return sx > left && sx < d.cell_x * 8 + 40 && sy > d.cell_y * 8 - 80 && sy < d.cell_y * 8 + 48;
}

void fall(drop& d, int slot) {
    ++d.age;
    ++d.cell_y;
    if (d.age > 16) ++d.cell_y;
    if (d.cell_y > 70) d.active = 0;
    const int sprite = d.kind == kind_alien ? falling_sprite(d.variety) : falling_supply_sprite;
    put_image(nullptr, d.cell_x * 8 - 64 - scroll_x, d.cell_y * 8 - 64 - scroll_y, sprite_images[sprite],
              put_mode::transparent);
    if (!shot_impact || !caught(d)) return;
    shot_missed = 0;
    shot_impact = 0;
    if (d.kind == kind_alien) chain_hit = -1;
    d.blast_frame = 0;
    d.state = drop_exploding;
    if (d.kind == kind_alien) {
        play_sample(sample_explosion, slot + 1, -1);
        add_score(100);
    } else {
        play_sample(sample_exp_energy, slot + 1, -1);
        add_score(10);
        heal();
    }
}

}  // namespace

void run_carrier_pass() {
    step_carrier();
    put_image(nullptr, carrier.cell_x * 8 - 256 - scroll_x, carrier.cell_y * 8 - 112 - scroll_y,
              sprite_images[sprite_carrier], put_mode::transparent);
    run_hatches();
}

void run_drop_pass() {
    for (int slot = 0; slot < max_drops; ++slot) {
        drop& d = drops[slot];
        if (!d.active) continue;
        if (d.state == drop_falling) {
            fall(d, slot);
        } else if (d.state == drop_exploding && ++d.blast_frame >= 15) {
            d.active = 0;
        }
    }
}

void draw_exploding_drops() {
    for (const drop& d : drops) {
        if (d.active && d.state == drop_exploding)
            put_sprite_silhouette(nullptr, (d.cell_x - 8) * 8 - scroll_x, (d.cell_y - 8) * 8 - scroll_y,
                                  sprite_explosion0 + d.blast_frame, random_colour(15));
    }
}
