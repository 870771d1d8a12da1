#pragma once
// A player's input written down as it reaches the game, in the script format
// of korvane-headless --input, each event stamped with the game's virtual
// time (platform::virtual_ms): replayed headless, the game sees the same input
// at the same moments. The presentation service's input reports feed it.
#include <cstdint>
#include <string>
#include <vector>

#include "present/input_script.h"

// Starts writing to the file, after the comment lines given (without '#').
// False when the file cannot be written.
bool start_input_recording(const std::string& path, const std::vector<std::string>& comments);
// Writes what is left and closes the file; false when anything could not be written.
bool stop_input_recording();
// True while a recording is being written; callers ask before building an
// event's text, so that a game not being recorded spends nothing on it.
bool recording_input();

// One event as it reaches the game, stamped with the game's time (its own ms
// is not used); consecutive moves at one moment are written once, as the last.
void record_input_event(const script_event& event);
// The best score the game began with, which a replay starts from.
void record_best_at_start(std::int32_t best);
// That the game runs in calm mode, as its replay will.
void record_calm_at_start();
