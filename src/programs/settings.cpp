#include "programs/settings.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "files/file_reading.h"
#include "files/file_saving.h"
#include "files/game_files.h"
#include "present/words.h"

namespace {

// A settings file is a few lines; a larger one is read as far as this.
constexpr std::size_t settings_read_limit = 64 * 1024;

bool read_number(std::string_view text, int low, int high, int& value) {
    int parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (error != std::errc{} || end != text.data() + text.size() || parsed < low || parsed > high) return false;
    value = parsed;
    return true;
}

bool read_switch(std::string_view text, bool& value) {
    for (const char* on : {"on", "yes", "true", "1"})
        if (text == on) {
            value = true;
            return true;
        }
    for (const char* off : {"off", "no", "false", "0"})
        if (text == off) {
            value = false;
            return true;
        }
    return false;
}

std::string on_off(bool value) { return value ? "on" : "off"; }

struct setting {
    const char* name;
    const char* value;  // what it takes, for messages and the help
    const char* help;
    bool is_switch;
    bool (*read)(std::string_view text, game_settings& s);
    std::string (*write)(const game_settings& s);
};

// In the order the file and the help list them.
const setting settings_table[] = {
    {"volume", "0..100", "the sound's volume in percent (100)", false,
     [](std::string_view t, game_settings& s) { return read_number(t, 0, 100, s.window.volume); },
     [](const game_settings& s) { return std::to_string(s.window.volume); }},
    {"mute", "on|off", "start muted (off)", true,
     [](std::string_view t, game_settings& s) { return read_switch(t, s.window.muted); },
     [](const game_settings& s) { return on_off(s.window.muted); }},
    {"full-screen", "on|off", "start on the whole screen (off)", true,
     [](std::string_view t, game_settings& s) { return read_switch(t, s.window.full_screen); },
     [](const game_settings& s) { return on_off(s.window.full_screen); }},
    {"window-size", "WIDTHxHEIGHT", "the window's size (640x480)", false,
     [](std::string_view t, game_settings& s) {
         const auto x = t.find('x');
         int w = 0, h = 0;
         if (x == std::string_view::npos || !read_number(t.substr(0, x), 320, 16384, w) ||
             !read_number(t.substr(x + 1), 240, 16384, h))
             return false;
         s.window.window_width = w;
         s.window.window_height = h;
         return true;
     },
     [](const game_settings& s) {
         return std::to_string(s.window.window_width) + "x" + std::to_string(s.window.window_height);
     }},
    {"vsync", "on|off", "show pictures in step with the display: no tearing (on)", true,
     [](std::string_view t, game_settings& s) { return read_switch(t, s.window.vsync); },
     [](const game_settings& s) { return on_off(s.window.vsync); }},
    {"calm", "on|off", "no flashing: a collapse keeps the field's colours (off)", true,
     [](std::string_view t, game_settings& s) { return read_switch(t, s.calm); },
     [](const game_settings& s) { return on_off(s.calm); }},
    {"pad-dead-zone", "0..50", "a stick's travel in percent that moves nothing (8)", false,
     [](std::string_view t, game_settings& s) { return read_number(t, 0, 50, s.window.pad_dead_zone); },
     [](const game_settings& s) { return std::to_string(s.window.pad_dead_zone); }},
    {"pad-speed", "10..400", "the cursor's speed under a pad's stick, in percent (100)", false,
     [](std::string_view t, game_settings& s) { return read_number(t, 10, 400, s.window.pad_speed); },
     [](const game_settings& s) { return std::to_string(s.window.pad_speed); }},
};

const setting* find_setting(std::string_view name) {
    for (const setting& s : settings_table)
        if (name == s.name) return &s;
    return nullptr;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

setting_kind kind_of_setting(std::string_view name) {
    const setting* s = find_setting(name);
    return s == nullptr   ? setting_kind::none
           : s->is_switch ? setting_kind::switch_setting
                          : setting_kind::value_setting;
}

bool set_setting(game_settings& settings, std::string_view name, std::string_view value, std::string& why) {
    const setting* s = find_setting(name);
    if (s == nullptr) {
        why = "no such setting";
        return false;
    }
    if (!s->read(value, settings)) {
        why = std::string(s->name) + " takes " + s->value;
        return false;
    }
    return true;
}

std::string format_settings(const game_settings& settings) {
    std::string text = "# Korvane's settings, written by the game when one changes.\n";
    for (const setting& s : settings_table) text += std::string(s.name) + " = " + s.write(settings) + "\n";
    return text;
}

game_settings parse_settings(std::string_view text, const char* program, const std::string& where) {
    game_settings settings;
    int number = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const auto equals = line.find('=');
        std::string why = "not 'name = value'";
        if (equals != std::string_view::npos &&
            set_setting(settings, trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)), why))
            continue;
        std::fprintf(stderr, "%s: ignoring line %d of %s, %s: %s\n", program, number, where.c_str(),
                     quoted(line).c_str(), why.c_str());
    }
    return settings;
}

game_settings read_settings(const char* program) {
    const std::string path = settings_file();
    std::vector<std::uint8_t> contents;
    if (path.empty() || read_file_start(path, settings_read_limit, contents) != file_status::ok) return {};
    return parse_settings(std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()), program,
                          path);
}

bool save_settings(const char* program, const game_settings& settings) {
    const std::string path = settings_file();
    if (!path.empty() && make_settings_folder() && save_file(path, format_settings(settings))) return true;
    std::fprintf(stderr, "%s: cannot save the settings in %s\n", program,
                 path.empty() ? "(no folder)" : quoted(path).c_str());
    return false;
}

void carry_player_changes(const window_settings& before, const window_settings& now, window_settings& saved) {
    if (now.volume != before.volume) saved.volume = now.volume;
    if (now.muted != before.muted) saved.muted = now.muted;
    if (now.full_screen != before.full_screen) saved.full_screen = now.full_screen;
    if (now.window_width != before.window_width || now.window_height != before.window_height) {
        saved.window_width = now.window_width;
        saved.window_height = now.window_height;
    }
}

void print_setting_options() {
    constexpr int name_width = 20;
    for (const setting& s : settings_table) {
        const std::string names =
            s.is_switch ? std::string("--") + s.name + ", --no-" + s.name : std::string("--") + s.name + " " + s.value;
        if (static_cast<int>(names.size()) >= name_width)
            std::printf("  %s\n  %-*s%s\n", names.c_str(), name_width, "", s.help);
        else
            std::printf("  %-*s%s\n", name_width, names.c_str(), s.help);
    }
}
