#pragma once
// The game's live values as one line of JSON, for the headless state file and
// trace: the score and the rest of play, the colour scheme on show, calm mode,
// and how many random numbers the game has drawn.
#include <cstdint>
#include <string>

std::string state_report_json(std::uint64_t virtual_ms);
// One frame of play: the game and frame numbers, the values, and a hash of
// the picture on show (page and palette), "none" when nothing is drawn.
std::string frame_report_json(std::uint64_t virtual_ms);
