#pragma once
// What each operating system says about where the game's files belong, for
// game_files.cpp. Paths are UTF-8 text on every system.
#include <string>

// The running program's own path; empty when the system cannot say.
std::string running_program_path();

// The player's own data folder, where the game keeps a folder of its own
// (~/.local/share or $XDG_DATA_HOME; %APPDATA%); empty when there is none.
std::string user_data_folder();

// The player's own configuration folder (~/.config or $XDG_CONFIG_HOME;
// %APPDATA%); empty when there is none.
std::string user_config_folder();

// Whether the best score stays in the working folder when the game runs from
// its own folder. Not on Windows: a game unpacked under Program Files could
// not write there.
bool score_beside_the_game();

// Makes one folder whose parent exists, for the player alone if asked (where
// the system knows such folders); true when it is there now.
bool make_folder(const std::string& path, bool players_only);
