#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sfxgen {

inline constexpr int sample_rate = 44100;

enum class waveform { square, saw, sine, triangle, noise };

// One voice of a sound. Times are in seconds, frequencies in Hz,
// slides in octaves per second so that the numbers read the same at any pitch.
struct layer_params {
    std::string name;
    waveform wave = waveform::square;
    double volume = 1.0;
    double delay = 0.0;

    double attack = 0.0;
    double sustain = 0.1;
    double decay = 0.1;
    double punch = 0.0;        // extra level at the start of the sustain, fading to 1
    double decay_curve = 1.0;  // 1 = straight line, higher = faster drop and longer tail

    double freq = 440.0;
    double freq_min = 20.0;
    double slide = 0.0;
    double delta_slide = 0.0;  // octaves per second squared: bends the slide

    double duty = 0.5;
    double duty_slide = 0.0;  // duty units per second

    double vibrato_depth = 0.0;  // semitones
    double vibrato_rate = 0.0;

    std::vector<double> arpeggio;  // semitone offsets, one per step
    double arp_step = 0.05;

    int repeat_count = 1;  // the whole voice, envelope included, is played again
    double repeat_every = 0.0;
    double repeat_jitter = 0.0;  // each repeat starts up to this fraction of repeat_every late
    double repeat_gain = 1.0;    // level of each repeat relative to the one before
    double repeat_pitch = 0.0;   // semitones added at each repeat

    double lowpass = 0.0;  // cutoff; 0 leaves the voice unfiltered
    double lowpass_slide = 0.0;
    double resonance = 0.0;  // 0..0.95
    double highpass = 0.0;   // cutoff; 0 leaves the voice unfiltered

    double drive = 0.0;  // soft saturation; 0 is clean
};

struct sound_params {
    std::uint32_t seed = 1;
    double peak_db = -1.0;
    double fade_out = 0.01;
    std::vector<layer_params> layers;
};

// Length of one play of the voice, without delay or repeats.
double note_length(const layer_params& layer);
// Time from the start of the sound until the layer falls silent.
double layer_length(const layer_params& layer);

}  // namespace sfxgen
