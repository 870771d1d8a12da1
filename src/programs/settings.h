#pragma once
// The windowed programs' settings, kept between runs in a small text file
// (files/game_files.h: settings_file): one "name = value" a line, '#' for a
// comment. Each setting can also be given for one run on the command line,
// as --name VALUE, or --name and --no-name for one that is on or off.
#include <string>
#include <string_view>

#include "present/window_settings.h"

struct game_settings {
    window_settings window;
    bool calm = false;  // the defeat's collapse and other whole-field flashes calmed
};

enum class setting_kind { none, switch_setting, value_setting };
// What a word names (without its leading dashes): a setting and which kind.
setting_kind kind_of_setting(std::string_view name);

// Sets one setting from its text ("on", "60", "960x720"): false with the
// reason when the name or the value is not one it takes.
bool set_setting(game_settings& settings, std::string_view name, std::string_view value, std::string& why);

// The settings as the file holds them.
std::string format_settings(const game_settings& settings);
// Reads the file's text over the defaults: a line that is not a setting is
// ignored, after one line on stderr naming it (where).
game_settings parse_settings(std::string_view text, const char* program, const std::string& where);

// The player's settings: the defaults when the file is missing or unreadable.
game_settings read_settings(const char* program);
// Writes them so that they are never cut off; false, after one line on
// stderr, when they cannot be.
bool save_settings(const char* program, const game_settings& settings);

// What the player changed while playing (from before to now) goes into the
// saved settings; what only this run's command line set stays out of them.
void carry_player_changes(const window_settings& before, const window_settings& now, window_settings& saved);

// The settings' options as --help lists them.
void print_setting_options();
