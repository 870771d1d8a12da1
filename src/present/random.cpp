// The game's random numbers: a Mersenne Twister (MT19937) that is seeded once
// with 0 through a linear-congruential fill, so every run draws the same values.
#include "present/random.h"

#include <cstdint>

namespace {

constexpr int state_words = 624;
constexpr int shift_words = 397;

struct twister {
    std::uint32_t words[state_words];
    int next = state_words;
    bool seeded = false;
};

twister generator;
std::uint64_t draws = 0;

void seed_generator() {
    generator.words[0] = 0;
    for (int i = 1; i < state_words; ++i) generator.words[i] = generator.words[i - 1] * 1664525u + 1013904223u;
    generator.seeded = true;
    generator.next = state_words;
}

void twist() {
    std::uint32_t* w = generator.words;
    for (int i = 0; i < state_words; ++i) {
        const std::uint32_t y = (w[i] & 0x80000000u) | (w[(i + 1) % state_words] & 0x7FFFFFFFu);
        w[i] = w[(i + shift_words) % state_words] ^ (y >> 1) ^ ((y & 1u) ? 0x9908B0DFu : 0u);
    }
    generator.next = 0;
}

}  // namespace

double rnd() {
    if (!generator.seeded) seed_generator();
    if (generator.next >= state_words) twist();
    ++draws;
    std::uint32_t y = generator.words[generator.next++];
    y ^= y >> 11;
    y ^= (y << 7) & 0x9D2C5680u;
    y ^= (y << 15) & 0xEFC60000u;
    y ^= y >> 18;
    return y / 4294967296.0;
}

void restart_random_sequence() {
    generator.seeded = false;
    draws = 0;
}

std::uint64_t random_draws() { return draws; }
