#pragma once
// What lasts from one game to the next, owned by the program's spine
// (program.cpp) and set by the title screen. -1 is true, 0 false.
#include <cstdint>

extern std::int32_t hi_score;          // the best score: read from hiscore.txt, raised after a game that beat it
extern std::int32_t quit_requested;    // -1 when the title screen chose to leave the program
extern std::int32_t keyboard_control;  // non-zero: the arrow keys steer; the title screen sets it, 0 when a game starts
