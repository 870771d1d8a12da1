// The six samples mixed the way the game plays them. SDL_mixer adds the
// playing channels into the 16-bit output one after another, each scaled by
// its chunk volume (out of 128) and clipped after every addition; starting a
// sample on a channel cuts what that channel played. Loudness and bands are
// measured on that output, as a sound level meter would hear the game. Runs in
// the game folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
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
    double peak_dbfs;         // of the sum before clipping
    int clipped;              // output samples pushed past 16 bits
    std::vector<int> output;  // what the player hears
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
    return {20 * std::log10(peak / 32768.0), clipped, std::move(out)};
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

// One real pole (bilinear transform, pre-warped so the pole stays at its
// frequency), as a high-pass s / (s + w) or a low-pass w / (s + w).
biquad one_pole(double pole, bool high) {
    const double w = std::tan(std::numbers::pi * pole / rate), a0 = 1 + w;
    if (high) return {1 / a0, -1 / a0, 0, (w - 1) / a0, 0};
    return {w / a0, w / a0, 0, (w - 1) / a0, 0};
}

// A-weighting, the ear's sensitivity at moderate levels: the analogue curve's
// poles at 20.6 Hz (twice), 107.7 Hz, 737.9 Hz and 12.2 kHz (twice), set to
// 0 dB at 1 kHz. A meter applies it, then any extra filter a listener adds.
struct meter {
    std::vector<biquad> stages{one_pole(20.598997, true), one_pole(20.598997, true),  one_pole(107.65265, true),
                               one_pole(737.86223, true), one_pole(12194.217, false), one_pole(12194.217, false)};
    double gain = 1.0;
    meter() {
        const std::complex<double> z = std::polar(1.0, -2 * std::numbers::pi * 1000 / rate);
        std::complex<double> response = 1.0;
        for (const biquad& b : stages) response *= (b.b0 + b.b1 * z) / (1.0 + b.a1 * z);
        gain = 1 / std::abs(response);
    }
    double operator()(double x) {
        for (biquad& b : stages) x = b(x);
        return x * gain;
    }
};

// A listener on small speakers, which give out below 150 Hz.
std::vector<biquad> small_speaker() {
    const biquad cut = two_pole(150, std::numbers::sqrt2 / 2, true);
    return {cut, cut};
}

struct loudest_window {
    double db;
    double starts;  // seconds
};

// The A-weighted level in dB of the loudest stretch of `seconds`; a sound
// shorter than that is averaged with silence, so a brief zap counts for less
// than a blast of the same level, as it does to the ear.
loudest_window loudest(const std::vector<int>& played, double seconds, std::vector<biquad> listener = {}) {
    meter a_weighted;
    const std::size_t window = static_cast<std::size_t>(rate * seconds);
    std::vector<double> power;
    for (const int x : played) {
        double y = a_weighted(x / 32768.0);
        for (biquad& b : listener) y = b(y);
        power.push_back(y * y);
    }
    double sum = 0, best = 0;
    std::size_t end = 0;
    for (std::size_t i = 0; i < power.size(); ++i) {
        sum += power[i] - (i >= window ? power[i - window] : 0.0);
        if (sum > best) {
            best = sum;
            end = i + 1;
        }
    }
    return {10 * std::log10(best / window), (end > window ? end - window : 0) / rate};
}

// About as long as the ear sums a short sound.
double loudness(const std::vector<int>& played, std::vector<biquad> listener = {}) {
    return loudest(played, 0.2, std::move(listener)).db;
}

// A sample as the game plays it: on its own, at its chunk volume.
std::vector<int> played(int sample) {
    constexpr std::array<int, 6> game_volume = {full, full, full, full, fall_volume, boom_volume};
    return mix({{0, sample, 0, game_volume[sample]}}).output;
}

// The energy between `low` and `high` Hz (0: no limit), through fourth-order
// crossovers, of the first `length` output samples.
double band_energy(const std::vector<int>& s, double low, double high, std::size_t length = SIZE_MAX) {
    biquad high1 = two_pole(low > 0 ? low : 1, std::numbers::sqrt2 / 2, true), high2 = high1;
    biquad low1 = two_pole(high > 0 ? high : 1, std::numbers::sqrt2 / 2, false), low2 = low1;
    double sum = 0;
    for (std::size_t i = 0; i < std::min(length, s.size()); ++i) {
        double x = s[i];
        if (low > 0) x = high2(high1(x));
        if (high > 0) x = low2(low1(x));
        sum += x * x;
    }
    return sum;
}

double share_db(const std::vector<int>& s, double low, double high) {
    return 10 * std::log10(band_energy(s, low, high) / band_energy(s, 0, 0));
}

TEST(SoundMeter, WeighsTonesAsTheEarDoes) {
    // The A-curve's standard values, within a class 1 meter's tolerance.
    for (const auto& [hz, weight] :
         {std::pair{50.0, -30.2}, {100.0, -19.1}, {1000.0, 0.0}, {4000.0, 1.0}, {10000.0, -2.5}}) {
        std::vector<int> tone;
        for (int i = 0; i < rate / 2; ++i)
            tone.push_back(static_cast<int>(16384 * std::sin(2 * std::numbers::pi * hz * i / rate)));
        // A sine at half scale is 9 dB below a full-scale square.
        EXPECT_NEAR(loudness(tone), weight - 9.03, 1.0) << hz << " Hz";
    }
}

TEST_F(SoundMix, SamplesPeakAtMinusSixAndRankByLoudness) {
    for (int i = 0; i < 6; ++i) {
        const auto& s = samples(i);
        const int peak = std::ranges::max(s, {}, [](std::int16_t x) { return std::abs(x); });
        EXPECT_NEAR(20 * std::log10(std::abs(peak) / 32768.0), -6.0, 1.0) << names[i];
    }
    // Each clearly louder than the last, as the game plays them: the shot, the
    // kill it pays for, the defeat; and the defeat the loudest of all. On small
    // speakers too, so the order does not rest on the sub-bass.
    for (const bool small : {false, true}) {
        const auto listener = small ? small_speaker() : std::vector<biquad>{};
        std::array<double, 6> level{};
        for (int i = 0; i < 6; ++i) level[i] = loudness(played(i), listener);
        const char* where = small ? " on small speakers" : "";
        EXPECT_GE(level[explosion] - level[laser], 3.0)
            << "laser " << level[laser] << " dB, explosion " << level[explosion] << " dB" << where;
        EXPECT_GE(level[boom] - level[explosion], 3.0)
            << "explosion " << level[explosion] << " dB, boom " << level[boom] << " dB" << where;
        for (const int other : {laser, explosion, munch, exp_energy, fall})
            EXPECT_GE(level[boom] - level[other], 1.0)
                << names[other] << " " << level[other] << " dB, boom " << level[boom] << " dB" << where;
    }
}

TEST_F(SoundMix, TheKillAndTheDefeatHaveBodyInTheLowMids) {
    // 150-500 Hz is the weight a laptop's speakers still play.
    for (const int id : {explosion, boom})
        EXPECT_GT(share_db(played(id), 150, 500), -8.0) << names[id] << "'s share of 150-500 Hz";
    // And the kill still has a sub-bass thump under the crack, not just noise.
    EXPECT_GT(share_db(played(explosion), 0, 150), -10.0) << "explosion's share below 150 Hz";
}

TEST_F(SoundMix, TheEnergyChimeRingsAtTheHit) {
    const auto chime = loudest(played(exp_energy), 0.05);
    EXPECT_LT(chime.starts, 0.06) << "the loudest 50 ms of exp_energy start " << chime.starts * 1000 << " ms in";
}

TEST_F(SoundMix, TheFallingWhistleIsHeardOverTheShots) {
    // The fall is played at a quarter of full level, so it must carry by its
    // density and its register: in the whistle's band, 2 to 5 kHz, it outweighs
    // a shot fired as it starts and one fired every 6 frames over it (faster
    // than the game can fire), and its loudness stays near the shot's.
    const auto whistle = played(fall);
    for (const int every : {0, 6}) {
        std::vector<play> shots{{0, laser, 0, full}};
        if (every > 0)
            for (int f = every; f * std::size_t{frame} < whistle.size(); f += every)
                shots.push_back({0, laser, f, full});
        const auto shooting = mix(shots).output;
        const double margin =
            10 * std::log10(band_energy(whistle, 2000, 5000) / band_energy(shooting, 2000, 5000, whistle.size()));
        EXPECT_GE(margin, 3.0) << "shots every " << every << " frames: the fall's margin in its band, dB";
    }
    EXPECT_GE(loudness(whistle), loudness(played(laser)) - 6.0);
}

}  // namespace
