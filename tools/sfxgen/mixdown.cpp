#include "mixdown.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "noise_source.h"
#include "voice.h"

namespace sfxgen {

namespace {

// Short enough to keep an attack punchy, long enough to hide a step at the start.
constexpr double fade_in_seconds = 0.001;
// Tails quieter than this, relative to the peak, are cut rather than kept as silence.
constexpr double silence_ratio = 1e-4;

// Raised-cosine ramp: 0 at the outer edge, 1 at the inner edge.
double ramp(double x) { return 0.5 - 0.5 * std::cos(std::numbers::pi * std::clamp(x, 0.0, 1.0)); }

double peak_of(const std::vector<double>& samples) {
    double peak = 0.0;
    for (const double sample : samples) peak = std::max(peak, std::abs(sample));
    return peak;
}

void apply_fades(std::vector<double>& samples, int sample_rate, double fade_out) {
    const auto fade_in_length = static_cast<std::size_t>(fade_in_seconds * sample_rate);
    for (std::size_t i = 0; i < std::min(fade_in_length, samples.size()); ++i) {
        samples[i] *= ramp(static_cast<double>(i) / fade_in_length);
    }
    const auto fade_out_length = std::min(samples.size(), static_cast<std::size_t>(fade_out * sample_rate) + 1);
    for (std::size_t i = 0; i < fade_out_length; ++i) {
        const double x = fade_out_length > 1 ? static_cast<double>(i) / (fade_out_length - 1) : 0.0;
        samples[samples.size() - 1 - i] *= ramp(x);
    }
}

}  // namespace

std::vector<double> render_sound(const sound_params& sound, int sample_rate) {
    std::vector<double> mix;
    for (std::size_t i = 0; i < sound.layers.size(); ++i) {
        // Each layer draws its own noise, so retuning one leaves the others as they were.
        noise_source noise(sound.seed * 2654435761u + static_cast<std::uint32_t>(i) * 40503u + 1u);
        const auto layer = render_layer(sound.layers[i], noise, sample_rate);
        if (layer.size() > mix.size()) mix.resize(layer.size(), 0.0);
        for (std::size_t s = 0; s < layer.size(); ++s) mix[s] += layer[s];
    }

    const double raw_peak = peak_of(mix);
    if (raw_peak <= 0.0) throw std::runtime_error("the sound is silent");
    while (std::abs(mix.back()) < raw_peak * silence_ratio) mix.pop_back();

    apply_fades(mix, sample_rate, sound.fade_out);

    const double gain = std::pow(10.0, sound.peak_db / 20.0) / peak_of(mix);
    for (double& sample : mix) sample *= gain;
    return mix;
}

}  // namespace sfxgen
