#pragma once
#include <cstdint>

// The next pseudo-random number in [0, 1), from the game's one fixed sequence.
double rnd();
// Starts the sequence again from its beginning, as at program start.
void restart_random_sequence();
// How many numbers rnd() has given since the sequence began: for reports that
// show two runs drawing alike.
std::uint64_t random_draws();
