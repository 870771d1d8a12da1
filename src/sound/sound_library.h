#pragma once
// The seam between the game's sound routines and the library that mixes and
// plays: SDL_mixer in the windowed programs, a recording library (which plays
// nothing) in korvane-headless and the tests. The program installs one.
// Its shape is the old sound library's the game was written against (a
// version number, sample pools, defaults set per sample, -1 to keep a
// setting), so that the game's own sound routines stay as they were.
#include <string>

struct sound_sample;  // a loaded sample, owned by the library

class sound_library {
public:
    virtual ~sound_library() = default;
    virtual float version() = 0;
    virtual bool init(int mix_rate, int max_channels, int flags) = 0;
    // Why init failed, in the player's words.
    virtual std::string failure_reason() const { return "unknown reason"; }
    // Null when the file cannot be loaded.
    virtual sound_sample* load_sample(int pool_index, const std::string& file) = 0;
    // -1 keeps a setting; the volume (0..255) stays with the sample.
    virtual void set_sample_defaults(sound_sample* sample, int frequency, int volume, int pan, int priority) = 0;
    // Starts the sample at once on the channel, cutting what it played.
    virtual void play_sound(int channel, sound_sample* sample) = 0;
    virtual void close() = 0;
};

// The library sound_setup uses; without one the game is silent.
void use_sound_library(sound_library* library);
