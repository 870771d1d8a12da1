#pragma once
// Combat: the squid aliens, the bonus carrier and its drops, the resolution
// of the player's shot, chain, score, energy and stage changes, and the
// effects, messages and status display drawn over the field.
#include <cstdint>
#include <string>

// --- squids -----------------------------------------------------------------

enum squid_state : std::int32_t { squid_waiting = 0, squid_launching = 1, squid_flying = 2, squid_exploding = 3 };

struct squid {
    std::int32_t kind;  // 0 alien, 1 supply
    std::int32_t variety;
    float x, y;  // world pixels
    std::int32_t age;
    float dx, dy;
    std::int32_t heading;
    std::int32_t launch_timer;
    std::int32_t state;
    std::int32_t frame;  // growth step while flying, explosion frame while exploding
};

constexpr int max_squids = 10;
extern squid squids[max_squids];
extern std::int32_t squid_count;
extern std::int32_t squids_in_flight;

// Every squid in play waits again, squid i for 30 i + 10 frames.
void start_squid_wave();

// --- the bonus carrier and its drops ----------------------------------------

enum carrier_state : std::int32_t {
    carrier_entering = 4,
    carrier_descending = 6,
    carrier_hovering = 7,
    carrier_leaving = 8,
    carrier_gone = 9,
};

struct carrier_record {
    std::int32_t active;
    std::int32_t state;
    std::int32_t hover_timer;
    std::int32_t cell_x, step_x;
    std::int32_t cell_y, step_y;
    std::int32_t spring_toggle;
    std::int32_t hatch_open[4];
    std::int32_t hatch_timer[4];
    std::int32_t hatch_kind[4];
    std::int32_t hatch_variety[4];
};

enum drop_state : std::int32_t { drop_falling = 2, drop_exploding = 3 };

struct drop {
    std::int32_t state;
    std::int32_t kind;  // 0 squid, 1 supply
    std::int32_t variety;
    std::int32_t active;
    std::int32_t cell_x, cell_y;
    std::int32_t age;
    std::int32_t blast_frame;
};

constexpr int max_drops = 33;
extern carrier_record carrier;
extern drop drops[max_drops];

// --- score, chain and stages ------------------------------------------------

extern std::int32_t score;
extern std::int32_t energy;
extern std::int32_t stage;
extern std::int32_t bonus_stage;
extern std::int32_t kills_left;
extern std::int32_t quota_reached;
extern std::int32_t chain;
extern std::int32_t max_chain;
extern std::int32_t target_marker_hidden;

// Everything of a frame between the shot's flight and the effects.
void run_combat_pass();

// --- effects and messages ---------------------------------------------------

struct effect {
    std::int32_t active;
    std::int32_t x, y;  // world pixels, multiples of 8
    std::int32_t frame;
    std::int32_t tick;
};

struct text_slot {
    std::int32_t active;
    std::int32_t colour;  // negative: a new random colour every frame
    std::int32_t x, y;
    std::string text;
    std::int32_t timer;
};

constexpr int max_effects = 16;
extern effect effects[max_effects];
extern text_slot banner_slots[2];
extern text_slot popup;

void spawn_effect(std::int32_t x, std::int32_t y);
void update_effects();
void show_banner(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour, std::int32_t frames);
void show_popup(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour, std::int32_t frames);
