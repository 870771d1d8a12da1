#include "sfx_parser.h"

#include <array>
#include <charconv>
#include <cmath>
#include <set>
#include <sstream>

namespace sfxgen {

sfx_parse_error::sfx_parse_error(int line, const std::string& message) : std::runtime_error(message), line_(line) {}

namespace {

struct number_key {
    std::string_view key;
    double layer_params::*member;
    double min;
    double max;
};

constexpr double nyquist = sample_rate / 2.0;
constexpr double any_value = 1e6;

// Ranges keep every source within what the synthesiser renders sensibly,
// so a typo such as `decay = 50` is caught rather than heard.
constexpr std::array layer_numbers{
    number_key{"volume", &layer_params::volume, 0.0, 4.0},
    number_key{"delay", &layer_params::delay, 0.0, 4.0},
    number_key{"attack", &layer_params::attack, 0.0, 4.0},
    number_key{"sustain", &layer_params::sustain, 0.0, 4.0},
    number_key{"decay", &layer_params::decay, 0.0, 4.0},
    number_key{"punch", &layer_params::punch, 0.0, 4.0},
    number_key{"decay_curve", &layer_params::decay_curve, 0.1, 8.0},
    number_key{"freq", &layer_params::freq, 1.0, nyquist},
    number_key{"freq_min", &layer_params::freq_min, 0.0, nyquist},
    number_key{"slide", &layer_params::slide, -100.0, 100.0},
    number_key{"delta_slide", &layer_params::delta_slide, -1000.0, 1000.0},
    number_key{"duty", &layer_params::duty, 0.0, 1.0},
    number_key{"duty_slide", &layer_params::duty_slide, -10.0, 10.0},
    number_key{"vibrato_depth", &layer_params::vibrato_depth, 0.0, 24.0},
    number_key{"vibrato_rate", &layer_params::vibrato_rate, 0.0, 100.0},
    number_key{"arp_step", &layer_params::arp_step, 0.001, 4.0},
    number_key{"repeat_every", &layer_params::repeat_every, 0.0, 4.0},
    number_key{"repeat_jitter", &layer_params::repeat_jitter, 0.0, 1.0},
    number_key{"repeat_gain", &layer_params::repeat_gain, 0.0, 4.0},
    number_key{"repeat_pitch", &layer_params::repeat_pitch, -48.0, 48.0},
    number_key{"lowpass", &layer_params::lowpass, 0.0, nyquist},
    number_key{"lowpass_slide", &layer_params::lowpass_slide, -100.0, 100.0},
    number_key{"resonance", &layer_params::resonance, 0.0, 0.95},
    number_key{"highpass", &layer_params::highpass, 0.0, nyquist},
    number_key{"drive", &layer_params::drive, 0.0, 50.0},
};

constexpr double max_sound_length = 5.0;  // seconds
constexpr int max_repeats = 16;

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
        throw sfx_parse_error(line, "expected a number, got " + quoted(text));
    }
    return value;
}

double parse_in_range(std::string_view key, std::string_view text, double min, double max, int line) {
    const double value = parse_number(text, line);
    if (value < min || value > max) throw sfx_parse_error(line, range_message(key, min, max, text));
    return value;
}

long long parse_integer(std::string_view key, std::string_view text, long long min, long long max, int line) {
    long long value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end) {
        throw sfx_parse_error(line, std::string(key) + " expects a whole number, got " + quoted(text));
    }
    if (value < min || value > max) {
        throw sfx_parse_error(line, range_message(key, static_cast<double>(min), static_cast<double>(max), text));
    }
    return value;
}

waveform parse_wave(std::string_view text, int line) {
    if (text == "square") return waveform::square;
    if (text == "saw") return waveform::saw;
    if (text == "sine") return waveform::sine;
    if (text == "triangle") return waveform::triangle;
    if (text == "noise") return waveform::noise;
    throw sfx_parse_error(line, "unknown wave " + quoted(text) + " (square, saw, sine, triangle or noise)");
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
    if (steps.empty()) throw sfx_parse_error(line, "arpeggio needs at least one step");
    return steps;
}

void set_sound_key(sound_params& sound, std::string_view key, std::string_view value, int line) {
    if (key == "seed") {
        sound.seed = static_cast<std::uint32_t>(parse_integer(key, value, 0, 0xFFFFFFFFLL, line));
    } else if (key == "peak_db") {
        sound.peak_db = parse_in_range(key, value, -40.0, 0.0, line);
    } else if (key == "fade_out") {
        sound.fade_out = parse_in_range(key, value, 0.0, 1.0, line);
    } else {
        throw sfx_parse_error(line,
                              "unknown key " + quoted(key) + " before the first [layer] (seed, peak_db or fade_out)");
    }
}

void set_layer_key(layer_params& layer, std::string_view key, std::string_view value, int line) {
    for (const auto& number : layer_numbers) {
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
        layer.repeat_count = static_cast<int>(parse_integer(key, value, 1, max_repeats, line));
    } else {
        throw sfx_parse_error(line, "unknown key " + quoted(key) + " in [layer " + layer.name + "]");
    }
}

// `[layer NAME]`; an unnamed layer is called by its position.
layer_params parse_layer_header(std::string_view line, std::size_t index, int line_number) {
    if (line.back() != ']') throw sfx_parse_error(line_number, "unclosed section header");
    const auto inside = trim(line.substr(1, line.size() - 2));
    if (inside.substr(0, 5) != "layer" || (inside.size() > 5 && inside[5] != ' ')) {
        throw sfx_parse_error(line_number, "unknown section " + quoted(line) + " (only [layer NAME] is known)");
    }
    layer_params layer;
    layer.name = std::string(trim(inside.substr(5)));
    if (layer.name.empty()) layer.name = std::to_string(index + 1);
    return layer;
}

void check_layer(const layer_params& layer, int header_line) {
    const std::string where = "[layer " + layer.name + "]";
    if (note_length(layer) <= 0.0) {
        throw sfx_parse_error(header_line, where + " is silent: attack + sustain + decay is zero");
    }
    if (layer.repeat_count > 1 && layer.repeat_every <= 0.0) {
        throw sfx_parse_error(header_line, where + " repeats but repeat_every is zero");
    }
    if (layer_length(layer) > max_sound_length) {
        throw sfx_parse_error(
            header_line, where + " lasts longer than " + std::to_string(static_cast<int>(max_sound_length)) + " s");
    }
}

}  // namespace

sound_params parse_sfx(std::string_view text) {
    sound_params sound;
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
            throw sfx_parse_error(line_number, "expected 'key = value', got " + quoted(line));
        }
        const auto key = trim(line.substr(0, equals));
        const auto value = trim(line.substr(equals + 1));
        if (key.empty()) throw sfx_parse_error(line_number, "missing key before '='");
        if (value.empty()) throw sfx_parse_error(line_number, "missing value for " + quoted(key));
        if (!keys_seen.emplace(key).second) {
            throw sfx_parse_error(line_number, quoted(key) + " is set twice in the same section");
        }

        if (sound.layers.empty()) {
            set_sound_key(sound, key, value, line_number);
        } else {
            set_layer_key(sound.layers.back(), key, value, line_number);
        }
    }

    if (sound.layers.empty()) throw sfx_parse_error(0, "no [layer] in the sound");
    for (std::size_t i = 0; i < sound.layers.size(); ++i) check_layer(sound.layers[i], header_lines[i]);
    return sound;
}

}  // namespace sfxgen
