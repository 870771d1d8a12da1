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
// korvane-headless --verify's one line, kept stable for the scripts that
// read it: "verify: games=G frames=F score=S best=B max_chain=C virtual_ms=MS",
// with F the frames of play of every game.
std::string verify_report(std::uint64_t virtual_ms, std::uint64_t frames_of_play);
