// Short explosion effects and the timed messages: two banner slots for stage
// banners and one popup for the chain pay-out.
#include "assets/assets.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "state/view.h"

effect effects[max_effects];
text_slot banner_slots[2];
text_slot popup;

namespace {

// A banner's last frames are blank, though it still holds the squids back.
constexpr int banner_blank_frames = 5;

void fill_slot(text_slot& slot, std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour,
               std::int32_t frames) {
    slot.active = -1;
    slot.x = x;
    slot.y = y;
    slot.text = text;
    slot.colour = colour;
    slot.timer = frames;
}

// Counts a slot down; true while it stays active.
bool count_down(text_slot& slot) {
    if (--slot.timer <= 0) {
        slot.timer = 0;
        slot.active = 0;
        return false;
    }
    return true;
}

void draw_slot(const text_slot& slot) {
    draw_text(nullptr, slot.x, slot.y, slot.text, slot.colour < 0 ? random_colour(16) : slot.colour);
}

}  // namespace

void spawn_effect(std::int32_t x, std::int32_t y) {
    for (effect& e : effects) {
        if (e.active) continue;
        e.active = -1;
        e.x = x & ~7;
        e.y = y & ~7;
        e.frame = 1;
        e.tick = 0;
        return;
    }
}

void update_effects() {
    for (effect& e : effects) {
        if (!e.active) continue;
        if (++e.tick >= 3) {
            e.tick = 0;
            if (++e.frame > 3) {
                e.frame = 3;
                e.active = 0;
            }
        }
        put_image(nullptr, e.x - scroll_x, e.y - scroll_y, sprite_images[sprite_hit_preflash + e.frame],
                  put_mode::transparent);
    }
}

void show_banner(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour, std::int32_t frames) {
    fill_slot(banner_slots[0].active ? banner_slots[1] : banner_slots[0], x, y, text, colour, frames);
}

void show_popup(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour, std::int32_t frames) {
    if (!popup.active) fill_slot(popup, x, y, text, colour, frames);
}

void run_banner_slots() {
    for (text_slot& slot : banner_slots) {
        if (slot.active && count_down(slot) && slot.timer > banner_blank_frames) draw_slot(slot);
    }
}

void run_popup() {
    if (popup.active && count_down(popup)) draw_slot(popup);
}
