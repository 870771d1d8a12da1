#include "present/input_script.h"

#include <algorithm>
#include <iterator>
#include <sstream>

#include "present/input_events.h"
#include "present/keys.h"
#include "present/words.h"

namespace {

bool parse_hex_bytes(const std::string& word, std::string& bytes) {
    if (word.size() != 2 && word.size() != 4) return false;
    bytes.clear();
    for (std::size_t at = 0; at < word.size(); at += 2) {
        int value = 0;
        for (const char c : word.substr(at, 2)) {
            const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
            if (digit < 0) return false;
            value = value * 16 + digit;
        }
        bytes += static_cast<char>(value);
    }
    return true;
}

bool parse_line(std::istringstream& words, script_event& event, std::string& problem) {
    std::string action, arg1, arg2, extra;
    words >> action >> arg1 >> arg2 >> extra;
    long long x = 0, y = 0;
    auto expect_args = [&](int count) {
        const int given = !arg1.empty() + !arg2.empty() + !extra.empty();
        if (given != count) problem = "'" + action + "' takes " + std::to_string(count) + " argument(s)";
        return given == count;
    };
    if (action == "move") {
        if (!expect_args(2)) return false;
        if (!parse_whole_number(arg1, 0, 639, x) || !parse_whole_number(arg2, 0, 479, y)) {
            problem = "move needs X 0..639 and Y 0..479";
            return false;
        }
        event.action = script_action::move;
        event.x = static_cast<std::int16_t>(x);
        event.y = static_cast<std::int16_t>(y);
    } else if (action == "leave" || action == "close" || action == "minimise") {
        if (!expect_args(0)) return false;
        event.action = action == "leave"   ? script_action::leave
                       : action == "close" ? script_action::close
                                           : script_action::minimise;
    } else if (action == "press" || action == "release") {
        if (!expect_args(1)) return false;
        const auto* name = std::find(std::begin(script_button_names), std::end(script_button_names), arg1);
        if (name == std::end(script_button_names)) {
            problem = "unknown button " + quoted(arg1) + " (left, right, middle)";
            return false;
        }
        event.button_bit = static_cast<std::uint8_t>(name - std::begin(script_button_names));
        event.action = action == "press" ? script_action::press : script_action::release;
    } else if (action == "keydown" || action == "keyup" || action == "hold") {
        if (!expect_args(1)) return false;
        const named_key* key = find_script_key(arg1);
        if (key == nullptr) {
            problem = "unknown key " + quoted(arg1);
            return false;
        }
        event.scan_code = static_cast<std::uint8_t>(key->scan_code);
        if (action == "keydown") event.set_key_press(key->press);
        event.action = action == "keyup" ? script_action::key_up : script_action::key_down;
    } else if (action == "type") {
        if (!expect_args(1)) return false;
        std::string bytes;
        if (!parse_hex_bytes(arg1, bytes)) {
            problem = "type takes one or two bytes in hex (79, ff48)";
            return false;
        }
        event.set_key_press(bytes);
        event.action = script_action::type;
    } else if (action == "focus") {
        if (!expect_args(1)) return false;
        if (arg1 != "out" && arg1 != "in") {
            problem = "focus takes 'out' or 'in'";
            return false;
        }
        event.action = arg1 == "out" ? script_action::focus_out : script_action::focus_in;
    } else {
        problem = action.empty() ? "missing event" : "unknown event " + quoted(action);
        return false;
    }
    return true;
}

std::string recording_version(std::string_view first_line) {
    constexpr std::string_view start = "# korvane ";
    if (!first_line.starts_with(start)) return {};
    first_line.remove_prefix(start.size());
    const auto space = first_line.find(' ');
    if (space == std::string_view::npos || !first_line.substr(space).starts_with(" recording")) return {};
    return std::string(first_line.substr(0, space));
}

// A line a recording gives once, at 0 ms, before its events: false with the problem otherwise.
bool once_at_start(const char* what, std::uint64_t ms, bool given_before, std::string& problem) {
    if (ms != 0)
        problem = std::string(what) + " is given at 0 ms";
    else if (given_before)
        problem = std::string(what) + " is given twice";
    return problem.empty();
}

// "best N" at 0 ms, once. N is any value the best score's file can hold,
// negative ones included.
bool parse_best(std::istringstream& words, std::uint64_t ms, script_contents& script, std::string& problem) {
    std::string value, extra;
    words >> value >> extra;
    const bool negative = value.starts_with('-');
    long long best = 0;
    if (!parse_whole_number(negative ? value.substr(1) : value, 0, negative ? 2'147'483'648 : 2'147'483'647, best) ||
        !extra.empty())
        problem = "best takes one whole number";
    else if (once_at_start("best", ms, script.best_at_start.has_value(), problem))
        script.best_at_start = static_cast<std::int32_t>(negative ? -best : best);
    return problem.empty();
}

// "calm" at 0 ms, once, with nothing after it.
bool parse_calm(std::istringstream& words, std::uint64_t ms, script_contents& script, std::string& problem) {
    std::string extra;
    words >> extra;
    if (!extra.empty())
        problem = "calm takes no argument";
    else if (once_at_start("calm", ms, script.calm, problem))
        script.calm = true;
    return problem.empty();
}

}  // namespace

void script_player::hand_over_due(std::uint64_t now) {
    while (next_ < events_.size() && events_[next_].ms <= now) {
        const script_event& e = events_[next_++];
        switch (e.action) {
            case script_action::move: report_pointer_position(e.x, e.y); break;
            case script_action::leave: report_pointer_left(); break;
            case script_action::press: report_mouse_button(e.button_bit, true); break;
            case script_action::release: report_mouse_button(e.button_bit, false); break;
            case script_action::key_down:
                report_key(e.scan_code, true);
                if (!e.key_press().empty()) queue_key_press(e.key_press());
                break;
            case script_action::key_up: report_key(e.scan_code, false); break;
            case script_action::type: queue_key_press(e.key_press()); break;
            case script_action::close: queue_key_press(close_button_key); break;
            case script_action::focus_out: report_focus(false); break;
            case script_action::focus_in: report_focus(true); break;
            case script_action::minimise: report_minimised(); break;
        }
    }
}

void script_player::add(script_event event) {
    if (next_ >= 64 && next_ * 2 >= events_.size()) {
        events_.erase(events_.begin(), events_.begin() + static_cast<std::ptrdiff_t>(next_));
        next_ = 0;
    }
    last_ms_ = event.ms;
    events_.push_back(std::move(event));
}

std::string format_event(const script_event& e) {
    const named_key* key = script_key_with_scan_code(e.scan_code);
    const std::string button =
        e.button_bit < std::size(script_button_names) ? std::string(script_button_names[e.button_bit]) : std::string();
    switch (e.action) {
        case script_action::move: return "move " + std::to_string(e.x) + " " + std::to_string(e.y);
        case script_action::leave: return "leave";
        case script_action::press: return button.empty() ? "" : "press " + button;
        case script_action::release: return button.empty() ? "" : "release " + button;
        case script_action::key_down:
            return key == nullptr ? "" : (e.key_press().empty() ? "hold " : "keydown ") + key->name;
        case script_action::key_up: return key == nullptr ? "" : "keyup " + key->name;
        case script_action::type: {
            static const char digits[] = "0123456789abcdef";
            std::string hex;
            for (const char c : e.key_press()) hex += {digits[static_cast<unsigned char>(c) >> 4], digits[c & 15]};
            return hex.empty() ? "" : "type " + hex;
        }
        case script_action::close: return "close";
        case script_action::focus_out: return "focus out";
        case script_action::focus_in: return "focus in";
        case script_action::minimise: return "minimise";
    }
    return "";
}

std::string format_best(std::int32_t best) { return "best " + std::to_string(best); }

std::string format_calm() { return "calm"; }

bool parse_script(std::istream& in, script_contents& script, std::string& error) {
    std::string line;
    int line_number = 0;
    std::uint64_t last_ms = 0;
    // One stream for every line: making a stream costs more than reading a line.
    std::istringstream words;
    while (std::getline(in, line)) {
        if (++line_number == 1) script.recorded_by = recording_version(line);
        if (const auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        words.clear();
        words.str(line);
        std::string time_word;
        if (!(words >> time_word)) continue;
        std::string problem;
        long long ms = 0;
        script_event event{};
        if (!parse_whole_number(time_word, 0, latest_script_ms, ms)) {
            problem = "time " + quoted(time_word) + " is not a whole number of milliseconds from 0 to " +
                      std::to_string(latest_script_ms) + " (a day)";
        } else if (static_cast<std::uint64_t>(ms) < last_ms) {
            problem = "time goes backwards";
        } else {
            event.ms = static_cast<std::uint64_t>(ms);
            std::string action;
            const auto action_start = words.tellg();
            words >> action;
            if (action == "best") {
                parse_best(words, event.ms, script, problem);
            } else if (action == "calm") {
                parse_calm(words, event.ms, script, problem);
            } else {
                words.clear();
                words.seekg(action_start);
                if (parse_line(words, event, problem)) script.events.push_back(event);
            }
        }
        if (!problem.empty()) {
            error = "line " + std::to_string(line_number) + ": " + problem;
            return false;
        }
        last_ms = event.ms;
    }
    return true;
}
