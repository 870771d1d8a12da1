#pragma once
// The autoplayer's games (seed 1) recorded once per benchmark run, without
// drawing, by the game's own korvane-headless. Run in the game folder.
#include <string>

// The recording of that many games; empty when it could not be made.
const std::string& recorded_games(int games);
