#include "sfx_parser.h"

#include <array>
#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

namespace sfxgen {

SfxParseError::SfxParseError(int line, const std::string& message) : std::runtime_error(message), line_(line) {}

namespace {

struct NumberKey {
    std::string_view key;
    double LayerParams::*member;
    double min;
    double max;
};

constexpr double kNyquist = kSampleRate / 2.0;
constexpr double kAny = 1e6;

// Ranges keep every source within what the synthesiser renders sensibly,
// so a typo such as `decay = 50` is caught rather than heard.
constexpr std::array kLayerNumbers{
    NumberKey{"volume", &LayerParams::volume, 0.0, 4.0},
    NumberKey{"delay", &LayerParams::delay, 0.0, 4.0},
    NumberKey{"attack", &LayerParams::attack, 0.0, 4.0},
    NumberKey{"sustain", &LayerParams::sustain, 0.0, 4.0},
    NumberKey{"decay", &LayerParams::decay, 0.0, 4.0},
    NumberKey{"punch", &LayerParams::punch, 0.0, 4.0},
    NumberKey{"decay_curve", &LayerParams::decay_curve, 0.1, 8.0},
    NumberKey{"freq", &LayerParams::freq, 1.0, kNyquist},
    NumberKey{"freq_min", &LayerParams::freq_min, 0.0, kNyquist},
    NumberKey{"slide", &LayerParams::slide, -100.0, 100.0},
    NumberKey{"delta_slide", &LayerParams::delta_slide, -1000.0, 1000.0},
    NumberKey{"duty", &LayerParams::duty, 0.0, 1.0},
    NumberKey{"duty_slide", &LayerParams::duty_slide, -10.0, 10.0},
    NumberKey{"vibrato_depth", &LayerParams::vibrato_depth, 0.0, 24.0},
    NumberKey{"vibrato_rate", &LayerParams::vibrato_rate, 0.0, 100.0},
    NumberKey{"arp_step", &LayerParams::arp_step, 0.001, 4.0},
    NumberKey{"repeat_every", &LayerParams::repeat_every, 0.0, 4.0},
    NumberKey{"repeat_jitter", &LayerParams::repeat_jitter, 0.0, 1.0},
    NumberKey{"repeat_gain", &LayerParams::repeat_gain, 0.0, 4.0},
    NumberKey{"repeat_pitch", &LayerParams::repeat_pitch, -48.0, 48.0},
    NumberKey{"lowpass", &LayerParams::lowpass, 0.0, kNyquist},
    NumberKey{"lowpass_slide", &LayerParams::lowpass_slide, -100.0, 100.0},
    NumberKey{"resonance", &LayerParams::resonance, 0.0, 0.95},
    NumberKey{"highpass", &LayerParams::highpass, 0.0, kNyquist},
    NumberKey{"drive", &LayerParams::drive, 0.0, 50.0},
};

constexpr double kMaxSoundLength = 5.0;  // seconds
constexpr int kMaxRepeats = 16;

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string range_message(std::string_view key, double min, double max, std::string_view got) {
    std::ostringstream message;
    message << key << " must lie between " << min << " and " << max << ", got " << quoted(got);
    return message.str();
}

double parse_number(std::string_view text, int line) {
    double value = 0.0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        throw SfxParseError(line, "expected a number, got " + quoted(text));
    }
    return value;
}

double parse_in_range(std::string_view key, std::string_view text, double min, double max, int line) {
    const double value = parse_number(text, line);
    if (value < min || value > max) throw SfxParseError(line, range_message(key, min, max, text));
    return value;
}

long long parse_integer(std::string_view key, std::string_view text, long long min, long long max, int line) {
    long long value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        throw SfxParseError(line, std::string(key) + " expects a whole number, got " + quoted(text));
    }
    if (value < min || value > max) {
        throw SfxParseError(line, range_message(key, static_cast<double>(min), static_cast<double>(max), text));
    }
    return value;
}

Waveform parse_wave(std::string_view text, int line) {
    if (text == "square") return Waveform::square;
    if (text == "saw") return Waveform::saw;
    if (text == "sine") return Waveform::sine;
    if (text == "triangle") return Waveform::triangle;
    if (text == "noise") return Waveform::noise;
    throw SfxParseError(line, "unknown wave " + quoted(text) + " (square, saw, sine, triangle or noise)");
}

// Semitone offsets separated by spaces or commas.
std::vector<double> parse_arpeggio(std::string_view text, int line) {
    std::vector<double> steps;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto start = text.find_first_not_of(" \t,", pos);
        if (start == std::string_view::npos) break;
        const auto stop = text.find_first_of(" \t,", start);
        const auto token = text.substr(start, stop == std::string_view::npos ? text.size() - start : stop - start);
        steps.push_back(parse_in_range("arpeggio", token, -48.0, 48.0, line));
        pos = start + token.size();
    }
    if (steps.empty()) throw SfxParseError(line, "arpeggio needs at least one step");
    return steps;
}

void set_sound_key(SoundParams& sound, std::string_view key, std::string_view value, int line) {
    if (key == "seed") {
        sound.seed = static_cast<std::uint32_t>(parse_integer(key, value, 0, 0xFFFFFFFFLL, line));
    } else if (key == "peak_db") {
        sound.peak_db = parse_in_range(key, value, -40.0, 0.0, line);
    } else if (key == "fade_out") {
        sound.fade_out = parse_in_range(key, value, 0.0, 1.0, line);
    } else {
        throw SfxParseError(line,
                            "unknown key " + quoted(key) + " before the first [layer] (seed, peak_db or fade_out)");
    }
}

void set_layer_key(LayerParams& layer, std::string_view key, std::string_view value, int line) {
    for (const auto& number : kLayerNumbers) {
        if (number.key == key) {
            layer.*number.member = parse_in_range(key, value, number.min, number.max, line);
            return;
        }
    }
    if (key == "wave") {
        layer.wave = parse_wave(value, line);
    } else if (key == "arpeggio") {
        layer.arpeggio = parse_arpeggio(value, line);
    } else if (key == "repeat_count") {
        layer.repeat_count = static_cast<int>(parse_integer(key, value, 1, kMaxRepeats, line));
    } else {
        throw SfxParseError(line, "unknown key " + quoted(key) + " in [layer " + layer.name + "]");
    }
}

// `[layer NAME]`; an unnamed layer is called by its position.
LayerParams parse_layer_header(std::string_view line, std::size_t index, int line_number) {
    if (line.back() != ']') throw SfxParseError(line_number, "unclosed section header");
    const auto inside = trim(line.substr(1, line.size() - 2));
    if (inside.substr(0, 5) != "layer" || (inside.size() > 5 && inside[5] != ' ')) {
        throw SfxParseError(line_number, "unknown section " + quoted(line) + " (only [layer NAME] is known)");
    }
    LayerParams layer;
    layer.name = std::string(trim(inside.substr(5)));
    if (layer.name.empty()) layer.name = std::to_string(index + 1);
    return layer;
}

void check_layer(const LayerParams& layer, int header_line) {
    const std::string where = "[layer " + layer.name + "]";
    if (note_length(layer) <= 0.0) {
        throw SfxParseError(header_line, where + " is silent: attack + sustain + decay is zero");
    }
    if (layer.repeat_count > 1 && layer.repeat_every <= 0.0) {
        throw SfxParseError(header_line, where + " repeats but repeat_every is zero");
    }
    if (layer_length(layer) > kMaxSoundLength) {
        throw SfxParseError(header_line,
                            where + " lasts longer than " + std::to_string(static_cast<int>(kMaxSoundLength)) + " s");
    }
}

}  // namespace

SoundParams parse_sfx(std::string_view text) {
    SoundParams sound;
    std::vector<int> header_lines;
    std::set<std::string, std::less<>> keys_seen;

    int line_number = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const auto newline = text.find('\n', pos);
        const auto raw = text.substr(pos, newline == std::string_view::npos ? text.size() - pos : newline - pos);
        pos = newline == std::string_view::npos ? text.size() + 1 : newline + 1;
        ++line_number;

        const auto line = trim(raw.substr(0, raw.find('#')));
        if (line.empty()) continue;

        if (line.front() == '[') {
            sound.layers.push_back(parse_layer_header(line, sound.layers.size(), line_number));
            header_lines.push_back(line_number);
            keys_seen.clear();
            continue;
        }

        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            throw SfxParseError(line_number, "expected 'key = value', got " + quoted(line));
        }
        const auto key = trim(line.substr(0, equals));
        const auto value = trim(line.substr(equals + 1));
        if (key.empty()) throw SfxParseError(line_number, "missing key before '='");
        if (value.empty()) throw SfxParseError(line_number, "missing value for " + quoted(key));
        if (!keys_seen.emplace(key).second) {
            throw SfxParseError(line_number, quoted(key) + " is set twice in the same section");
        }

        if (sound.layers.empty()) {
            set_sound_key(sound, key, value, line_number);
        } else {
            set_layer_key(sound.layers.back(), key, value, line_number);
        }
    }

    if (sound.layers.empty()) throw SfxParseError(0, "no [layer] in the sound");
    for (std::size_t i = 0; i < sound.layers.size(); ++i) check_layer(sound.layers[i], header_lines[i]);
    return sound;
}

}  // namespace sfxgen
