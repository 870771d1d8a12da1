#pragma once
// A sound library that plays nothing and writes down everything the game asks
// of it: the sound of korvane-headless (which has no sound device) and of the
// tests. A sample loads when its file is a WAV a real library could play, so
// missing or damaged files silence the game here as they would with sound.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sound/sound.h"
#include "sound/sound_library.h"

class recording_sound_library final : public sound_library {
public:
    struct play {
        std::uint64_t ms;  // by the clock given, 0 without one
        int sample;        // the pool index it was loaded with, 0..5
        int channel;
        int volume;  // 0..255, or -1: the sample's default volume
    };

    // clock: the time to stamp each play with (korvane-headless gives its virtual time).
    explicit recording_sound_library(std::function<std::uint64_t()> clock = {}) : clock_(std::move(clock)) {}

    // What version() and init() answer; a device can be made to be missing.
    float reported_version = 3.74f;
    bool device_present = true;

    // Every call in order ("version", "init 44100 64 0", "load 0 WAV/laser.WAV",
    // "defaults 4 -1 64 -1 -1", "play 7 4", "close"), and the plays.
    std::vector<std::string> calls;
    std::vector<play> plays;
    // False: plays are not written down, so that a run of any length keeps
    // its memory.
    bool log_plays = true;

    float version() override;
    bool init(int mix_rate, int max_channels, int flags) override;
    std::string failure_reason() const override { return "none present"; }
    sound_sample* load_sample(int pool_index, const std::string& file) override;
    void set_sample_defaults(sound_sample* sample, int frequency, int volume, int pan, int priority) override;
    void play_sound(int channel, sound_sample* sample) override;
    void close() override;

private:
    int index_of(const sound_sample* sample) const;
    std::function<std::uint64_t()> clock_;
    char pool_[sample_count] = {};
    int default_volume_[sample_count] = {-1, -1, -1, -1, -1, -1};
};

// Whether the bytes are a WAV of uncompressed 8- or 16-bit sound with data.
bool playable_wav(const std::vector<std::uint8_t>& bytes);
