#include "voice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "state_variable_filter.h"

namespace sfxgen {

namespace {

constexpr double two_pi = 2.0 * std::numbers::pi;
// Noise gets a fresh value this many times per oscillator period, so its
// frequency sets how fine or coarse the grain is.
constexpr double noise_steps_per_period = 32.0;

// Smooths the jump of a square or saw edge so bright sweeps do not alias.
double poly_blep(double phase, double step) {
    if (phase < step) {
        const double t = phase / step;
        return t + t - t * t - 1.0;
    }
    if (phase > 1.0 - step) {
        const double t = (phase - 1.0) / step;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double envelope(const layer_params& p, double t) {
    if (t < p.attack) return t / p.attack;
    t -= p.attack;
    if (t < p.sustain) return 1.0 + p.punch * (1.0 - t / p.sustain);
    t -= p.sustain;
    if (p.decay <= 0.0 || t >= p.decay) return 0.0;
    return std::pow(1.0 - t / p.decay, p.decay_curve);
}

double arpeggio_offset(const layer_params& p, double t) {
    if (p.arpeggio.empty()) return 0.0;
    const auto step = static_cast<std::size_t>(t / p.arp_step);
    return p.arpeggio[std::min(step, p.arpeggio.size() - 1)];
}

class oscillator {
public:
    explicit oscillator(noise_source& noise) : noise_(noise), held_noise_(noise.next()) {}

    double next(waveform wave, double step, double duty) {
        double out = 0.0;
        switch (wave) {
            case waveform::square: {
                out = phase_ < duty ? 1.0 : -1.0;
                out += poly_blep(phase_, step);
                out -= poly_blep(std::fmod(phase_ + 1.0 - duty, 1.0), step);
                // A narrow pulse sits off centre; centring it keeps the mix free of DC.
                out -= 2.0 * duty - 1.0;
                break;
            }
            case waveform::saw: out = 2.0 * phase_ - 1.0 - poly_blep(phase_, step); break;
            case waveform::sine: out = std::sin(two_pi * phase_); break;
            case waveform::triangle: out = 1.0 - 4.0 * std::abs(phase_ - 0.5); break;
            case waveform::noise:
                out = held_noise_;
                noise_steps_ += step * noise_steps_per_period;
                if (noise_steps_ >= 1.0) {
                    noise_steps_ -= std::floor(noise_steps_);
                    held_noise_ = noise_.next();
                }
                break;
        }
        phase_ += step;
        phase_ -= std::floor(phase_);
        return out;
    }

private:
    noise_source& noise_;
    double phase_ = 0.0;
    double held_noise_;
    double noise_steps_ = 0.0;
};

// One play of the voice, pitched up by `pitch_shift` semitones.
std::vector<double> render_note(const layer_params& p, double pitch_shift, noise_source& noise, int sample_rate) {
    const auto length = static_cast<std::size_t>(note_length(p) * sample_rate);
    const double rate = sample_rate;
    const double max_freq = rate * 0.45;
    const double drive_norm = p.drive > 0.0 ? std::tanh(p.drive) : 1.0;

    oscillator oscillator(noise);
    state_variable_filter lowpass;
    state_variable_filter highpass;
    std::vector<double> out(length);

    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double semitones =
            pitch_shift + arpeggio_offset(p, t) + p.vibrato_depth * std::sin(two_pi * p.vibrato_rate * t);
        const double octaves = p.slide * t + 0.5 * p.delta_slide * t * t + semitones / 12.0;
        const double freq = std::clamp(p.freq * std::exp2(octaves), p.freq_min, max_freq);
        const double duty = std::clamp(p.duty + p.duty_slide * t, 0.02, 0.98);

        double sample = oscillator.next(p.wave, freq / rate, duty);
        if (p.drive > 0.0) sample = std::tanh(p.drive * sample) / drive_norm;
        if (p.lowpass > 0.0) {
            const double cutoff = p.lowpass * std::exp2(p.lowpass_slide * t);
            sample = lowpass.process(sample, cutoff, p.resonance, rate).lowpass;
        }
        if (p.highpass > 0.0) sample = highpass.process(sample, p.highpass, 0.0, rate).highpass;
        out[i] = sample * envelope(p, t) * p.volume;
    }
    return out;
}

}  // namespace

std::vector<double> render_layer(const layer_params& layer, noise_source& noise, int sample_rate) {
    std::vector<double> out(static_cast<std::size_t>(layer_length(layer) * sample_rate) + 1);
    double gain = 1.0;
    for (int repeat = 0; repeat < layer.repeat_count; ++repeat) {
        // Jitter only ever delays a repeat, so the first one keeps its place.
        const double jitter = repeat > 0 ? layer.repeat_jitter * (0.5 + 0.5 * noise.next()) : 0.0;
        const double start_time = layer.delay + (repeat + jitter) * layer.repeat_every;
        const auto start = static_cast<std::size_t>(start_time * sample_rate);
        const auto note = render_note(layer, repeat * layer.repeat_pitch, noise, sample_rate);
        for (std::size_t i = 0; i < note.size() && start + i < out.size(); ++i) {
            out[start + i] += note[i] * gain;
        }
        gain *= layer.repeat_gain;
    }
    return out;
}

}  // namespace sfxgen
