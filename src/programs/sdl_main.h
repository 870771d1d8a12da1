#pragma once

// Runs the game on the real display; full_screen is the only difference
// between the two programs.
int run_on_sdl(int argc, char** argv, bool full_screen);
