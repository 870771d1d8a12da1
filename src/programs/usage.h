#pragma once
// What the programs print when asked for help or their version.

// The game's version, from the build ("0.9.0").
const char* game_version();

// When the command line holds -h, --help or --version, prints the answer of
// the windowed programs on stdout and returns true: the program then ends
// with exit code 0. Every other word is left to the game.
bool answer_help_or_version(int argc, char** argv);

// korvane-headless's own usage.
void print_headless_usage();
