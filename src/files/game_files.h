#pragma once
// Where the game's files are. The pictures (graphics/) and the samples (WAV/)
// are looked for in the working folder, then beside the program, then in the
// installed data folder. The best score stays in the working folder when the
// pictures are there (the game runs from its own folder); otherwise it is kept
// in the player's data folder, so no unrelated folder ever gets a hiscore.txt.
// On Windows it is always in the player's data folder, %APPDATA%\korvane.
//
// Until locate_game_files runs, every file is looked for in the working folder.
#include <string>
#include <string_view>

// Decides the folders once at start-up; program_path is argv[0], used when
// the system cannot say where the running program is.
void locate_game_files(const char* program_path);

// The path of a picture file ("BG0.BMP") or of a sample file ("laser.WAV").
std::string graphics_file(std::string_view name);
// The same into path, reusing its room: what a picture loaded again and again takes.
void graphics_file(std::string_view name, std::string& path);
std::string sample_file(std::string_view name);
// Whether each folder was found; the search lists name the places looked
// at, in order ("./graphics, /opt/game/graphics or ...").
bool graphics_found();
bool samples_found();
std::string graphics_search_list();
std::string sample_search_list();

// The best score's file, and whether it is kept in the player's data folder.
std::string hi_score_file();
bool hi_score_in_user_folder();
// Creates the folder of the best score's file when it is missing (owner only);
// false when it cannot be made.
bool make_hi_score_folder();

// The settings' file of the windowed game: korvane/settings.ini in the
// player's configuration folder; empty when the player has none.
std::string settings_file();
// Creates its folder when it is missing (owner only); false when it cannot be made.
bool make_settings_folder();

// The screenshots/ folder beside the best score; made when missing by
// make_screenshot_folder, which gives empty when it cannot be made.
std::string screenshot_folder();
std::string make_screenshot_folder();
