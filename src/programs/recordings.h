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
// False, with a message, when the recording would be written over the
// script being replayed (the same file by any name).
bool recording_apart_from_replay(const char* program, const std::string& record, const std::string& replay);
// Ends the recording; prints why and returns false when it was not all written.
bool finish_recording(const char* program, const std::string& path);

// Reads a script; prints why and returns false when it cannot be used. A
// recording made by another version of the game gets one line of warning:
// it may play differently.
bool read_recording(const char* program, const std::string& path, script_contents& script);

// Whether a run plays in calm mode: when asked, and a recording made in calm
// mode whatever was asked. Calm mode changes only the colours the collapse
// is drawn in, so a watcher who asks for calm never sees it flash, and a
// calm recording replays to what its player saw.
bool plays_calm(const script_contents& script, bool asked);
