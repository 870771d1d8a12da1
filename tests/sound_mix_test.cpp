// The six samples mixed the way the game plays them. SDL_mixer adds the
// playing channels into the 16-bit output one after another, each scaled by
// its chunk volume (out of 128) and clipped after every addition; starting a
// sample on a channel cuts what that channel played. Runs in the game folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr double rate = 44100;
constexpr int frame = 1764;  // the game's 40 ms frame, in samples

enum sample_id { laser, explosion, munch, exp_energy, fall, boom };
const std::array<const char*, 6> names = {"laser", "explosion", "munch", "exp_energy", "fall", "boom"};

// play_sample's volume (0..255, -1 for the default) as SDL_mixer's chunk volume.
constexpr int chunk_volume(int volume) { return volume < 0 ? 128 : (volume * 128 + 127) / 255; }
constexpr int full = chunk_volume(-1);
constexpr int boom_volume = chunk_volume(255);
constexpr int fall_volume = chunk_volume(64);

std::uint32_t le(const std::vector<char>& d, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<std::uint8_t>(d.at(at + i));
    return v;
}

// The samples of WAV/NAME.WAV; empty unless it is 16-bit mono PCM.
std::vector<std::int16_t> read_samples(const char* name) {
    std::ifstream in(std::string("WAV/") + name + ".WAV", std::ios::binary);
    const std::vector<char> d{std::istreambuf_iterator<char>(in), {}};
    bool mono16 = false;
    for (std::size_t at = 12; at + 8 <= d.size(); at += 8 + ((le(d, at + 4, 4) + 1) & ~1u)) {
        const std::string_view id(&d[at], 4);
        if (id == "fmt ") mono16 = le(d, at + 8, 2) == 1 && le(d, at + 10, 2) == 1 && le(d, at + 22, 2) == 16;
        if (id != "data" || !mono16) continue;
        std::vector<std::int16_t> samples;
        for (std::size_t i = at + 8; i + 1 < std::min<std::size_t>(d.size(), at + 8 + le(d, at + 4, 4)); i += 2)
            samples.push_back(static_cast<std::int16_t>(le(d, i, 2)));
        return samples;
    }
    return {};
}

const std::vector<std::int16_t>& samples(int id) {
    static const auto all = [] {
        std::array<std::vector<std::int16_t>, 6> read;
        for (int i = 0; i < 6; ++i) read[i] = read_samples(names[i]);
        return read;
    }();
    return all[id];
}

struct play {
    int channel;
    int sample;
    int at_frame;
    int volume;  // chunk volume, out of 128
};

struct mix_result {
    double peak_dbfs;  // of the sum before clipping
    int clipped;       // output samples pushed past 16 bits
};

mix_result mix(std::vector<play> plays) {
    std::ranges::stable_sort(plays, {}, &play::channel);
    std::size_t length = 0;
    for (const play& p : plays) length = std::max(length, p.at_frame * std::size_t{frame} + samples(p.sample).size());
    std::vector<int> out(length, 0);
    int peak = 0, clipped = 0;
    for (const play& p : plays) {
        const auto& s = samples(p.sample);
        const std::size_t start = p.at_frame * std::size_t{frame};
        std::size_t end = start + s.size();
        for (const play& later : plays)
            if (later.channel == p.channel && later.at_frame > p.at_frame)
                end = std::min(end, later.at_frame * std::size_t{frame});
        for (std::size_t t = start; t < end; ++t) {
            const int sum = out[t] + s[t - start] * p.volume / 128;
            peak = std::max(peak, std::abs(sum));
            clipped += sum > 32767 || sum < -32768;
            out[t] = std::clamp(sum, -32768, 32767);
        }
    }
    return {20 * std::log10(peak / 32768.0), clipped};
}

std::string dbfs(double db) {
    std::ostringstream text;
    text.precision(3);
    text << db << " dBFS";
    return text.str();
}

class SoundMix : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 0; i < 6; ++i) ASSERT_GT(samples(i).size(), 1000u) << "WAV/" << names[i] << ".WAV";
    }
};

TEST_F(SoundMix, AllSixStartedTogetherStayBelowFullScale) {
    const auto m = mix({{0, laser, 0, full},
                        {1, explosion, 0, full},
                        {2, munch, 0, full},
                        {3, exp_energy, 0, full},
                        {4, fall, 0, fall_volume},
                        {12, boom, 0, boom_volume}});
    RecordProperty("peak", dbfs(m.peak_dbfs));
    EXPECT_EQ(m.clipped, 0) << "peak " << dbfs(m.peak_dbfs);
}

TEST_F(SoundMix, DefeatBoomsWithEverythingLaidOverStayBelowFullScale) {
    // The collapse: 50 frames, the boom restarted on channel 12 every 5, 6 or
    // 7 frames. A kill needs a shot, so no two explosions start on the same
    // frame; here one starts every 6 frames, faster than the player can fire,
    // so two ring at once, and the run is tried at every phase against the
    // booms. Over it: the last shot, the munch that ended the game and a later
    // one, two supplies and two items falling from the carrier.
    double worst = -99;
    for (const int every : {5, 6, 7}) {
        for (int phase = 0; phase < every; ++phase) {
            std::vector<play> plays{
                {0, laser, 0, full},         {4, munch, 0, full},       {5, munch, 30, full},
                {6, exp_energy, 9, full},    {7, exp_energy, 37, full}, {20, fall, 3, fall_volume},
                {21, fall, 21, fall_volume},
            };
            for (int f = 0; f < 50; f += every) plays.push_back({12, boom, f, boom_volume});
            for (int f = phase, n = 0; f < 50; f += 6, ++n) plays.push_back({1 + n % 3, explosion, f, full});
            const auto m = mix(plays);
            EXPECT_EQ(m.clipped, 0) << "booms every " << every * 40 << " ms, explosions from frame " << phase
                                    << ": peak " << dbfs(m.peak_dbfs);
            worst = std::max(worst, m.peak_dbfs);
        }
    }
    // The crash on the results screen: two booms three frames apart, on channels 12 and 13.
    std::vector<play> crash;
    for (int t = 1; t <= 49; ++t) {
        if (t % 14 == 0) crash.push_back({12, boom, t, boom_volume});
        if (t % 14 == 3) crash.push_back({13, boom, t, boom_volume});
    }
    const auto m = mix(crash);
    EXPECT_EQ(m.clipped, 0) << "crash: peak " << dbfs(m.peak_dbfs);
    RecordProperty("collapse_peak", dbfs(worst));
    RecordProperty("crash_peak", dbfs(m.peak_dbfs));
}

struct biquad {
    double b0, b1, b2, a1, a2, z1 = 0, z2 = 0;
    double operator()(double x) {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// Two-pole low- or high-pass from its analogue prototype (bilinear transform).
biquad two_pole(double cutoff, double q, bool high) {
    const double k = std::tan(std::numbers::pi * cutoff / rate), a0 = 1 + k / q + k * k;
    const double a1 = 2 * (k * k - 1) / a0, a2 = (1 - k / q + k * k) / a0;
    if (high) return {1 / a0, -2 / a0, 1 / a0, a1, a2};
    return {k * k / a0, 2 * k * k / a0, k * k / a0, a1, a2};
}

// K-weighting, as broadcast loudness meters use it. First stage: +4 dB above
// 1.7 kHz, where the ear is keenest.
biquad presence_shelf() {
    const double k = std::tan(std::numbers::pi * 1681.974450955533 / rate), q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20), vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1 + k / q + k * k;
    return {(vh + vb * k / q + k * k) / a0, 2 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0, 2 * (k * k - 1) / a0,
            (1 - k / q + k * k) / a0};
}

// Loudness in dB: K-weighted (the shelf, then the meters' cut below 40 Hz) and
// averaged over the sample's loudest 200 ms, about as long as the ear sums a
// short sound, so a brief zap counts for less than a blast of the same level.
double loudness(const std::vector<std::int16_t>& s) {
    biquad shelf = presence_shelf(), low_cut = two_pole(38.13547087602444, 0.5003270373238773, true);
    const std::size_t window = static_cast<std::size_t>(rate / 5);
    std::vector<double> power;
    for (const std::int16_t x : s) power.push_back(std::pow(low_cut(shelf(x / 32768.0)), 2));
    double sum = 0, loudest = 0;
    for (std::size_t i = 0; i < power.size(); ++i) {
        sum += power[i] - (i >= window ? power[i - window] : 0.0);
        loudest = std::max(loudest, sum);
    }
    return 10 * std::log10(loudest / window);
}

TEST_F(SoundMix, SamplesPeakAtMinusSixAndRankByLoudness) {
    for (int i = 0; i < 6; ++i) {
        const auto& s = samples(i);
        const int peak = std::ranges::max(s, {}, [](std::int16_t x) { return std::abs(x); });
        EXPECT_NEAR(20 * std::log10(std::abs(peak) / 32768.0), -6.0, 1.0) << names[i];
    }
    // Each a step you can hear above the last: the shot, the kill, the defeat.
    const double shot = loudness(samples(laser)), kill = loudness(samples(explosion)), defeat = loudness(samples(boom));
    EXPECT_GE(kill - shot, 1.0) << "laser " << shot << " dB, explosion " << kill << " dB";
    EXPECT_GE(defeat - kill, 1.0) << "explosion " << kill << " dB, boom " << defeat << " dB";

    // The kill has body: a sub-bass thump under the crack, not just noise.
    biquad low1 = two_pole(150, std::numbers::sqrt2 / 2, false), low2 = low1;
    double all = 0, low = 0;
    for (const std::int16_t x : samples(explosion)) {
        all += std::pow(x, 2.0);
        low += std::pow(low2(low1(x)), 2.0);
    }
    EXPECT_GT(10 * std::log10(low / all), -10.0) << "explosion's share below 150 Hz";
}

}  // namespace
