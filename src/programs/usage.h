#pragma once
// What the programs print when asked for help or their version.
#include "programs/command_line.h"

// The game's version, from the build ("0.9.0").
const char* game_version();

// "korvane 0.9.0", or "korvane-headless 0.9.0".
void print_version(program_kind kind);

// What the program is, its options and, for the windowed programs, the
// controls and where the game's files are found from program_path.
void print_usage(program_kind kind, const char* program_path);
