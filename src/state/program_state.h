#pragma once
// What lasts from one game to the next, owned by the program's spine
// (program.cpp) and set by the title screen, and how the program was asked
// to run. -1 is true, 0 false.
#include <cstdint>

extern std::int32_t hi_score;          // the best score: read from hiscore.txt, raised after a game that beat it
extern std::int32_t quit_requested;    // -1 when the title screen chose to leave the program
extern std::int32_t keyboard_control;  // -1: the arrow keys steer (a key left the title); set by the title
// -1: calm mode, for players sensitive to flashing: the field never changes
// its colours faster than three times a second (the collapse after a defeat
// keeps the scheme it began in; play_field.cpp). Nothing else differs, not a
// random draw. Set by the program before the game runs (korvane-headless
// --calm, the windowed programs' calm setting, or what a replayed recording
// says); 0 by default.
extern std::int32_t calm_mode;

// What is on show, for a player that watches the screen instead of reading
// the picture (the built-in autoplayer); each part sets it as it begins.
enum program_part : std::int32_t {
    part_title,
    part_opening,
    part_instructions,
    part_play,
    part_pause,
    part_results,  // the crash and the game-over picture
    part_ending,
};
extern std::int32_t part_on_show;  // a program_part
