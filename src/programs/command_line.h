#pragma once
// The programs' command lines: one table of options that both the windowed
// programs and korvane-headless read, and that --help prints. A program
// takes the options meant for it; the other words go to the game.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "present/headless_platform.h"

enum class program_kind { windowed, headless };

// Every program ends with one of these, or 128 + the signal that stopped it.
inline constexpr int exit_done = 0;           // or the game's own code
inline constexpr int exit_output_failed = 1;  // an output (recording, screenshot, file) could not be made
inline constexpr int exit_bad_command = 2;    // a bad option, or a script that cannot be used

// What a command line asks for.
struct command_line {
    bool help = false;
    bool version = false;
    // korvane-headless --calm: calm mode for this run (a recording being
    // replayed decides for itself); the windowed programs' is in settings.
    bool calm = false;
    std::string record;  // --record: the input the game gets, written as a script
    std::string replay;  // a script played instead of the player: --replay, or korvane-headless --input
    // korvane-headless's outputs and run.
    std::vector<screenshot_request> shots;
    std::optional<std::uint64_t> end_ms;
    std::string state_file;
    std::string trace_file;
    std::string sounds_file;
    std::string pictures_file;
    std::string memory_file;
    bool timedemo = false;
    bool no_draw = false;  // --no-draw: the game runs without its pictures (screen.h)
    // --verify: a recording replayed without drawing, its outcome printed;
    // the recording is then the replay too.
    std::string verify_file;
    std::optional<std::uint32_t> autoplay_seed;
    std::optional<int> games;  // the autoplayer's, 1 when not given
    // The windowed programs' settings given for this run, by name: "volume"
    // "60", "calm" "on" (programs/settings.h); each one checked.
    std::vector<std::pair<std::string, std::string>> settings;
    // The words left for the game, the program's path first, ending in a null.
    std::vector<char*> game_args;
};

// Reads the command line of a program named program: false, after one line
// on stderr saying what is wrong, for an option without its value, a bad
// value or (korvane-headless) an unknown option. The windowed programs leave
// every word they do not know to the game, which ignores what it does not know.
bool read_command_line(program_kind kind, const char* program, int argc, char** argv, command_line& line);

// The options of a kind of program, as --help lists them.
void print_options(program_kind kind);
