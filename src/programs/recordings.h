#pragma once
// Recordings of games, shared by the programs: korvane --record and
// korvane-headless --record write them, korvane --replay and
// korvane-headless --input read them (or any input script).
#include <string>

#include "present/input_script.h"

// Starts recording the input into path, after a header: the game's version,
// the date and the command line. Prints why and returns false when the file
// cannot be written.
bool start_recording(const char* program, const std::string& path, int argc, char** argv);
// Ends the recording; prints why and returns false when it was not all written.
bool finish_recording(const char* program, const std::string& path);

// Reads a script; prints why and returns false when it cannot be used. A
// recording made by another version of the game gets one line of warning:
// it may play differently.
bool read_recording(const char* program, const std::string& path, script_contents& script);
