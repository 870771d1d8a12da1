#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sfxgen {

// Two-pole state-variable filter in trapezoidal form: it stays stable while
// the cutoff sweeps every sample, which the filter slides rely on.
class state_variable_filter {
public:
    struct outputs {
        double lowpass;
        double highpass;
    };

    // resonance 0 gives a Butterworth response; towards 1 it rings.
    outputs process(double input, double cutoff, double resonance, double sample_rate) {
        const double clamped = std::clamp(cutoff, 10.0, sample_rate * 0.45);
        const double g = std::tan(std::numbers::pi * clamped / sample_rate);
        const double k = std::numbers::sqrt2 * (1.0 - resonance) + 0.05;
        const double a1 = 1.0 / (1.0 + g * (g + k));
        const double a2 = g * a1;
        const double a3 = g * a2;

        const double v3 = input - ic2_;
        const double v1 = a1 * ic1_ + a2 * v3;
        const double v2 = ic2_ + a2 * ic1_ + a3 * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        return {v2, input - k * v1 - v2};
    }

private:
    double ic1_ = 0.0;
    double ic2_ = 0.0;
};

}  // namespace sfxgen
