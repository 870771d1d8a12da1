#pragma once
// korvane-headless's outputs: every file the command line asks for is opened
// before the run (one that cannot be opened ends the program before a frame
// is played), fed as the run goes, and finished and checked in one place.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "present/headless_platform.h"
#include "programs/command_line.h"
#include "sound/recording_sound_library.h"

class run_outputs {
public:
    // Opens every output of the command line, the recording among them; false
    // after a message naming the first that cannot be made.
    bool open(const command_line& line, int argc, char** argv);
    // Hands the platform the pictures it shows, as the run goes on it.
    void watch(headless_platform& platform);
    // At the end of each frame of play.
    void frame_ended(std::uint64_t ms);
    std::uint64_t frames_of_play() const { return frames_of_play_; }
    // Writes what is known at the end and closes every output: true when all
    // of them were made, else after a message for each that was not.
    bool finish(headless_platform& platform, const std::vector<recording_sound_library::play>& plays);

private:
    void write_memory_line();
    void picture_seen(std::uint64_t ms, const std::uint8_t* pixels, const rgb* palette);
    void shot_due(const screenshot_request& shot, const std::uint8_t* pixels, const rgb* palette);
    void made(bool written, const std::string& path);

    const command_line* line_ = nullptr;
    bool recording_ = false;
    std::FILE* trace_ = nullptr;
    std::FILE* memory_ = nullptr;
    std::FILE* pictures_ = nullptr;
    std::FILE* sounds_ = nullptr;
    std::FILE* state_ = nullptr;
    std::uint64_t frames_of_play_ = 0;
    std::uint64_t last_picture_ = 0;
    bool any_picture_ = false;
    bool all_made_ = true;
};
