#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "mixdown.h"
#include "sfx_parser.h"
#include "wav_writer.h"

namespace {

std::uint32_t read_u32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t read_u16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::string read_tag(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return std::string(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       bytes.begin() + static_cast<std::ptrdiff_t>(at + 4));
}

TEST(WavWriter, HeaderDescribesMono16BitPcm) {
    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768};
    const auto bytes = sfxgen::encode_wav(samples, 44100);

    ASSERT_EQ(bytes.size(), 44u + 10u);
    EXPECT_EQ(read_tag(bytes, 0), "RIFF");
    EXPECT_EQ(read_u32(bytes, 4), 36u + 10u);
    EXPECT_EQ(read_tag(bytes, 8), "WAVE");
    EXPECT_EQ(read_tag(bytes, 12), "fmt ");
    EXPECT_EQ(read_u32(bytes, 16), 16u);
    EXPECT_EQ(read_u16(bytes, 20), 1u);      // PCM
    EXPECT_EQ(read_u16(bytes, 22), 1u);      // mono
    EXPECT_EQ(read_u32(bytes, 24), 44100u);  // sample rate
    EXPECT_EQ(read_u32(bytes, 28), 88200u);  // byte rate
    EXPECT_EQ(read_u16(bytes, 32), 2u);      // block align
    EXPECT_EQ(read_u16(bytes, 34), 16u);     // bits per sample
    EXPECT_EQ(read_tag(bytes, 36), "data");
    EXPECT_EQ(read_u32(bytes, 40), 10u);
}

TEST(WavWriter, SamplesAreSignedLittleEndian) {
    const auto bytes = sfxgen::encode_wav({0x1234, -1, 32767, -32768}, 22050);
    const std::vector<std::uint8_t> data(bytes.begin() + 44, bytes.end());
    const std::vector<std::uint8_t> expected{0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80};
    EXPECT_EQ(data, expected);
    EXPECT_EQ(read_u32(bytes, 24), 22050u);
}

TEST(WavWriter, PcmConversionRoundsAndClamps) {
    const auto pcm = sfxgen::to_pcm16({0.0, 0.5, -0.5, 1.0, -1.0, 1.7, -3.0});
    const std::vector<std::int16_t> expected{0, 16384, -16384, 32767, -32767, 32767, -32768};
    EXPECT_EQ(pcm, expected);
}

struct bad_source {
    const char* what;
    std::string text;
    int line;
    std::string mentions;
};

void PrintTo(const bad_source& bad, std::ostream* out) { *out << bad.what; }

class ParserRejects : public testing::TestWithParam<bad_source> {};

TEST_P(ParserRejects, ReportsTheOffendingLine) {
    const auto& bad = GetParam();
    try {
        sfxgen::parse_sfx(bad.text);
        FAIL() << bad.what << " was accepted";
    } catch (const sfxgen::sfx_parse_error& error) {
        EXPECT_EQ(error.line(), bad.line) << bad.what << ": " << error.what();
        EXPECT_NE(std::string(error.what()).find(bad.mentions), std::string::npos) << bad.what << ": " << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    BadLines, ParserRejects,
    testing::Values(bad_source{"unknown key", "[layer a]\nfreq = 440\nfrequency = 300\n", 3, "frequency"},
                    bad_source{"not a number", "# zap\n[layer a]\nfreq = high\n", 3, "high"},
                    bad_source{"trailing unit", "[layer a]\nfreq = 440hz\n", 2, "440hz"},
                    bad_source{"out of range", "[layer a]\nduty = 1.5\n", 2, "duty"},
                    bad_source{"negative time", "[layer a]\ndecay = -0.1\n", 2, "decay"},
                    bad_source{"no equals sign", "[layer a]\nwave square\n", 2, "wave square"},
                    bad_source{"missing value", "[layer a]\nfreq =   # later\n", 2, "freq"},
                    bad_source{"unknown wave", "[layer a]\nwave = sqaure\n", 2, "sqaure"},
                    bad_source{"bad arpeggio step", "[layer a]\narpeggio = 0 4 x 12\n", 2, "x"},
                    bad_source{"fractional repeat count", "[layer a]\nrepeat_count = 2.5\n", 2, "repeat_count"},
                    bad_source{"key set twice", "[layer a]\nfreq = 440\nfreq = 880\n", 3, "freq"},
                    bad_source{"layer key before any layer", "seed = 3\nfreq = 440\n[layer a]\n", 2, "freq"},
                    bad_source{"unknown section", "[voice a]\n", 1, "voice"},
                    bad_source{"unclosed section", "[layer a\n", 1, "unclosed"},
                    bad_source{"silent layer", "[layer a]\n[layer quiet]\nsustain = 0\ndecay = 0\n", 2, "quiet"},
                    bad_source{"repeat without spacing", "[layer a]\nrepeat_count = 3\n", 1, "repeat_every"},
                    bad_source{"no layer at all", "seed = 4\n", 0, "layer"}),
    [](const testing::TestParamInfo<bad_source>& info) {
        std::string name = info.param.what;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST(Parser, ReadsSoundAndLayersWithComments) {
    const auto sound = sfxgen::parse_sfx(
        "# a test sound\n"
        "seed = 77\n"
        "peak_db = -3   # a little quieter\n"
        "\n"
        "[layer body]\n"
        "wave = triangle\n"
        "  freq = 261.5\r\n"
        "arpeggio = 0, 4 7\n"
        "repeat_count = 3\n"
        "repeat_every = 0.1\n"
        "[layer]\n"
        "wave = noise\n"
        "slide = -2.5\n");

    EXPECT_EQ(sound.seed, 77u);
    EXPECT_DOUBLE_EQ(sound.peak_db, -3.0);
    ASSERT_EQ(sound.layers.size(), 2u);

    const auto& body = sound.layers[0];
    EXPECT_EQ(body.name, "body");
    EXPECT_EQ(body.wave, sfxgen::waveform::triangle);
    EXPECT_DOUBLE_EQ(body.freq, 261.5);
    EXPECT_EQ(body.arpeggio, (std::vector<double>{0.0, 4.0, 7.0}));
    EXPECT_EQ(body.repeat_count, 3);

    const auto& second = sound.layers[1];
    EXPECT_EQ(second.name, "2");
    EXPECT_EQ(second.wave, sfxgen::waveform::noise);
    EXPECT_DOUBLE_EQ(second.slide, -2.5);
    EXPECT_DOUBLE_EQ(second.freq, 440.0);  // keys are per layer: the first layer's freq stays there
}

double peak_of(const std::vector<double>& samples) {
    double peak = 0.0;
    for (const double sample : samples) peak = std::max(peak, std::abs(sample));
    return peak;
}

sfxgen::sound_params noisy_sound(std::uint32_t seed) {
    auto sound = sfxgen::parse_sfx(
        "peak_db = -1\n"
        "[layer tone]\n"
        "wave = square\nfreq = 300\nsustain = 0.1\ndecay = 0.1\nvolume = 3\n"
        "[layer hiss]\n"
        "wave = noise\nfreq = 2000\nsustain = 0.05\ndecay = 0.05\n");
    sound.seed = seed;
    return sound;
}

TEST(Mixdown, PeakSitsAtTargetWithSilentEnds) {
    const auto samples = sfxgen::render_sound(noisy_sound(1));
    EXPECT_NEAR(peak_of(samples), std::pow(10.0, -1.0 / 20.0), 1e-9);
    EXPECT_NEAR(static_cast<double>(samples.size()) / sfxgen::sample_rate, 0.2, 0.01);
    EXPECT_EQ(samples.front(), 0.0);
    EXPECT_EQ(samples.back(), 0.0);
}

TEST(Mixdown, SameSeedSameSoundOtherSeedOtherNoise) {
    EXPECT_EQ(sfxgen::render_sound(noisy_sound(5)), sfxgen::render_sound(noisy_sound(5)));
    EXPECT_NE(sfxgen::render_sound(noisy_sound(5)), sfxgen::render_sound(noisy_sound(6)));
}

TEST(Mixdown, RepeatsPlaceEachNoteAtItsTime) {
    // Two short blips 0.2 s apart: silence between them, sound at both starts.
    const auto samples =
        sfxgen::render_sound(sfxgen::parse_sfx("fade_out = 0\n"
                                               "[layer blip]\nwave = sine\nfreq = 1000\nsustain = 0.02\ndecay = 0\n"
                                               "repeat_count = 2\nrepeat_every = 0.2\n"));
    const auto rate = sfxgen::sample_rate;
    const auto window_peak = [&](double from, double to) {
        return peak_of(std::vector<double>(samples.begin() + static_cast<std::ptrdiff_t>(from * rate),
                                           samples.begin() + static_cast<std::ptrdiff_t>(to * rate)));
    };
    EXPECT_GT(window_peak(0.0, 0.02), 0.5);
    EXPECT_EQ(window_peak(0.03, 0.19), 0.0);
    EXPECT_GT(window_peak(0.2, 0.215), 0.5);
}

}  // namespace
