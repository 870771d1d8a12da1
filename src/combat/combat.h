#pragma once
// Combat: the squid aliens, the bonus carrier and its drops, the resolution
// of the player's shot, chain, score, energy and stage changes, and the
// effects, messages and status display drawn over the field.
#include <cstdint>
#include <string>

// --- squids -----------------------------------------------------------------

enum squid_state : std::int32_t { squid_waiting = 0, squid_launching = 1, squid_flying = 2, squid_exploding = 3 };
// What a squid, a carrier's hatch or a drop holds: an alien to shoot, or a
// supply that gives energy when shot.
enum flyer_kind : std::int32_t { kind_alien = 0, kind_supply = 1 };

// A squid of the table (squids.cpp moves it; a hit by the shot explodes it).
struct squid {
    std::int32_t kind;          // a flyer_kind, drawn at its launch (1 in 20 a supply)
    std::int32_t variety;       // 0..2: which alien of the colour scheme's set
    float x, y;                 // world pixels; launched from (344, 280), gone beyond x -64 or 752
    std::int32_t age;           // frames since its launch
    float dx, dy;               // world pixels a frame, from its heading, to the left or the right
    std::int32_t heading;       // 150..214: degrees into the direction tables
    std::int32_t launch_timer;  // frames still to wait before its launch
    std::int32_t state;         // a squid_state
    std::int32_t frame;         // growth step (age / 14) while flying; explosion frame 0..16 while exploding
};

constexpr int max_squids = 10;
extern squid squids[max_squids];
extern std::int32_t squid_count;       // squids in play, 3 at a game start, one more a normal stage, up to 10
extern std::int32_t squids_in_flight;  // squids launched and not yet gone; the stage changes only at 0

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

// The bonus stage's carrier (carrier.cpp): positions in 8-pixel cells of the world.
struct carrier_record {
    std::int32_t active;            // -1 during a bonus stage until it has gone
    std::int32_t state;             // a carrier_state
    std::int32_t hover_timer;       // frames of hovering left, 160 at the start; it leaves at 0
    std::int32_t cell_x, step_x;    // 17..70 while hovering, moving 1 cell a frame either way
    std::int32_t cell_y, step_y;    // from -30 down to 8, then bobbing about row 12 (the spring)
    std::int32_t spring_toggle;     // 0/1, every other frame: the bob changes its step then
    std::int32_t hatch_open[4];     // -1 while a hatch shows what it will drop
    std::int32_t hatch_timer[4];    // frames until the open hatch drops it (5 at opening)
    std::int32_t hatch_kind[4];     // a flyer_kind (1 in 5 a supply)
    std::int32_t hatch_variety[4];  // 0..2, as a squid's
};

enum drop_state : std::int32_t { drop_falling = 2, drop_exploding = 3 };

// Something a hatch let fall (carrier.cpp): shot, it explodes and pays.
struct drop {
    std::int32_t state;           // a drop_state
    std::int32_t kind;            // a flyer_kind: an alien pays 100 and chains, a supply 10 and energy
    std::int32_t variety;         // 0..2, as a squid's
    std::int32_t active;          // -1 while the record is in use; falling past row 70 frees it
    std::int32_t cell_x, cell_y;  // 8-pixel cells of the world; it falls 1 a frame, 2 after 16 frames
    std::int32_t age;             // frames since it was let fall
    std::int32_t blast_frame;     // the explosion's frame once shot
};

constexpr int max_drops = 33;
extern carrier_record carrier;
extern drop drops[max_drops];

// --- score, chain and stages ------------------------------------------------

// A game start sets them (game_start.cpp); the combat pass changes them.
extern std::int32_t score;          // points this game, 0..99,999,990 (add_score)
extern std::int32_t energy;         // 0..100: -5 an escaping alien (one escaping at 0 defeats), +10 a supply shot
extern std::int32_t stage;          // 1.., one more after each odd stage and each bonus stage
extern std::int32_t bonus_stage;    // -1 during a bonus stage (after each even stage): the carrier's
extern std::int32_t kills_left;     // aliens still to shoot this stage: 2 stage + 4 at its start
extern std::int32_t quota_reached;  // -1 once the stage's quota is met (or the carrier has gone)
extern std::int32_t chain;          // alien hits in a row; a miss pays chain x 100 and clears it
extern std::int32_t max_chain;      // the game's longest chain, for the results
extern std::int32_t target_marker_hidden;  // -1 from stage 3 on: the cursor's target marker is not drawn

// Everything of a frame between the shot's flight and the effects.
void run_combat_pass();

// --- effects and messages ---------------------------------------------------

// A hit's flash where the shot landed (effects.cpp).
struct effect {
    std::int32_t active;  // -1 while it shows; the first free record is taken
    std::int32_t x, y;    // world pixels, multiples of 8
    std::int32_t frame;   // 1..3: the flash's picture
    std::int32_t tick;    // frames on this picture, 0..2: it moves on every third frame
};

// A message over the field: the two banners ("STAGE 02") and the chain's popup.
struct text_slot {
    std::int32_t active;  // -1 while it counts down
    std::int32_t colour;  // palette index; negative: a new random colour every frame
    std::int32_t x, y;    // screen pixels
    std::string text;
    std::int32_t timer;  // frames left; a banner's last few are blank, yet still hold the squids back
};

constexpr int max_effects = 16;
extern effect effects[max_effects];
extern text_slot banner_slots[2];
extern text_slot popup;

void spawn_effect(std::int32_t x, std::int32_t y);
void update_effects();
void show_banner(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour, std::int32_t frames);
void show_popup(std::int32_t x, std::int32_t y, const std::string& text, std::int32_t colour, std::int32_t frames);
