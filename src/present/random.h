#pragma once

// The next pseudo-random number in [0, 1), from the game's one fixed sequence.
double rnd();
// Starts the sequence again from its beginning, as at program start.
void restart_random_sequence();
