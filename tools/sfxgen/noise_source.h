#pragma once

#include <cstdint>

namespace sfxgen {

// xorshift32: small, fast and the same on every platform, so a sound
// rebuilt from the same seed is bit-identical.
class noise_source {
public:
    explicit noise_source(std::uint32_t seed) : state_(seed != 0 ? seed : 0x9E3779B9u) {}

    // Uniform in [-1, 1).
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483648.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

}  // namespace sfxgen
