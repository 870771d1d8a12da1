#pragma once
// Every sprite of the game by name, and where each sits on the sprite sheet
// (graphics/sprite.BMP). The art compiler lays the sheet out from this
// header and the game cuts it with it, so the two never disagree. A sprite's
// source is art/sprites/NN-name.pix, with NN its number and name its entry
// in sprite_names.
#include <string_view>

enum sprite : int {
    sprite_cursor = 0,
    sprite_pause_pointer = 1,
    // The bonus stage's items by set (a, b, c): in a hatch, then falling.
    sprite_hatch_squid_a = 2,
    sprite_falling_squid_a = 3,
    // Squid aliens: four sets of eight growth frames, then the supply's eight.
    sprite_squid_a0 = 8,
    sprite_squid_b0 = 16,
    sprite_squid_c0 = 24,
    sprite_squid_d0 = 32,
    sprite_supply0 = 40,
    sprite_explosion0 = 48,  // sixteen frames
    sprite_explosion15 = 63,
    sprite_beam0 = 64,  // sixteen 128x8 strips
    sprite_beam15 = 79,
    sprite_carrier = 80,
    sprite_hit_preflash = 81,  // the four frames of a hit effect
    sprite_hit_smoke = 84,
    sprite_hoist_closed = 85,
    sprite_hoist_open = 86,
    sprite_load = 87,
    sprite_control_tower = 88,
    sprite_launch_craft_idle = 89,
    sprite_launch_craft_thrust = 90,
    sprite_crashing_craft = 91,
    sprite_game_over_wreck = 92,
    sprite_count = 93,
};

inline constexpr int growth_frames = 8;
// The first growth frame of each alien set, in the order a, b, c, d.
inline constexpr int squid_sets[] = {sprite_squid_a0, sprite_squid_b0, sprite_squid_c0, sprite_squid_d0};
// The hatch and falling items of the bonus stage, by set a, b, c (2 apart).
inline constexpr int hatch_sprite(int set) { return sprite_hatch_squid_a + 2 * set; }
inline constexpr int falling_sprite(int set) { return sprite_falling_squid_a + 2 * set; }

inline constexpr std::string_view sprite_names[sprite_count] = {
    "cursor",
    "pause-pointer",
    "hatch-squid-a",
    "falling-squid-a",
    "hatch-squid-b",
    "falling-squid-b",
    "hatch-squid-c",
    "falling-squid-c",
    "squid-a0",
    "squid-a1",
    "squid-a2",
    "squid-a3",
    "squid-a4",
    "squid-a5",
    "squid-a6",
    "squid-a7",
    "squid-b0",
    "squid-b1",
    "squid-b2",
    "squid-b3",
    "squid-b4",
    "squid-b5",
    "squid-b6",
    "squid-b7",
    "squid-c0",
    "squid-c1",
    "squid-c2",
    "squid-c3",
    "squid-c4",
    "squid-c5",
    "squid-c6",
    "squid-c7",
    "squid-d0",
    "squid-d1",
    "squid-d2",
    "squid-d3",
    "squid-d4",
    "squid-d5",
    "squid-d6",
    "squid-d7",
    "supply0",
    "supply1",
    "supply2",
    "supply3",
    "supply4",
    "supply5",
    "supply6",
    "supply7",
    "explosion0",
    "explosion1",
    "explosion2",
    "explosion3",
    "explosion4",
    "explosion5",
    "explosion6",
    "explosion7",
    "explosion8",
    "explosion9",
    "explosion10",
    "explosion11",
    "explosion12",
    "explosion13",
    "explosion14",
    "explosion15",
    "beam0",
    "beam1",
    "beam2",
    "beam3",
    "beam4",
    "beam5",
    "beam6",
    "beam7",
    "beam8",
    "beam9",
    "beam10",
    "beam11",
    "beam12",
    "beam13",
    "beam14",
    "beam15",
    "carrier",
    "hit-preflash",
    "hit-flash",
    "hit-fireball",
    "hit-smoke",
    "hoist-closed",
    "hoist-open",
    "load",
    "control-tower",
    "launch-craft-idle",
    "launch-craft-thrust",
    "crashing-craft",
    "game-over-wreck",
};

// The sprite sheet, and each sprite's rectangle on it, in sheet pixels.
inline constexpr int sprite_sheet_width = 128;
inline constexpr int sprite_sheet_height = 193;
struct sprite_cell {
    int x, y, width, height;
};

// Sprites that share a cell size, in the order the game cuts them.
struct sprite_run {
    int first, last, width, height;
};
inline constexpr sprite_run sprite_runs[] = {
    {sprite_cursor, sprite_explosion15, 16, 16},
    {sprite_beam0, sprite_beam15, 16, 1},
    {sprite_carrier, sprite_carrier, 64, 28},
    {sprite_hit_preflash, sprite_hit_smoke, 17, 17},
    {sprite_hoist_closed, sprite_hoist_closed, 15, 11},
    {sprite_hoist_open, sprite_hoist_open, 15, 9},
    {sprite_load, sprite_load, 7, 7},
    {sprite_control_tower, sprite_control_tower, 13, 10},
    {sprite_launch_craft_idle, sprite_launch_craft_thrust, 45, 17},
    {sprite_crashing_craft, sprite_crashing_craft, 40, 27},
    {sprite_game_over_wreck, sprite_game_over_wreck, 25, 18},
};

// Where the sheet's regions begin: the 16x16 grid (8 a row), the beam's
// strips, and the cells below them.
inline constexpr int sheet_grid_columns = 8;
inline constexpr int sheet_beam_top = 128;
inline constexpr int sheet_hit_effects_top = 158;

inline constexpr sprite_cell cell_of(int index) {
    sprite_run run{};
    for (const sprite_run& r : sprite_runs)
        if (index >= r.first && index <= r.last) run = r;
    const int columns = sheet_grid_columns;
    if (index < sprite_beam0) return {index % columns * 16, index / columns * 16, run.width, run.height};
    if (index < sprite_carrier) {
        const int strip = index - sprite_beam0;
        return {strip % columns * 16, sheet_beam_top + strip / columns, run.width, run.height};
    }
    if (index >= sprite_hit_preflash && index <= sprite_hit_smoke)
        return {run.width * (index - sprite_hit_preflash), sheet_hit_effects_top, run.width, run.height};
    if (index == sprite_launch_craft_idle || index == sprite_launch_craft_thrust)
        return {83, 130 + run.height * (index - sprite_launch_craft_idle), run.width, run.height};
    // The single cells, packed around the others.
    constexpr struct {
        int index, x, y;
    } fixed[] = {
        {sprite_carrier, 0, 130},         {sprite_hoist_closed, 64, 130},  {sprite_hoist_open, 64, 141},
        {sprite_load, 64, 150},           {sprite_control_tower, 68, 157}, {sprite_crashing_craft, 81, 164},
        {sprite_game_over_wreck, 0, 175},
    };
    for (const auto& f : fixed)
        if (f.index == index) return {f.x, f.y, run.width, run.height};
    return {};
}
