#pragma once
// Runs korvane-headless in a scratch game folder and reads what it reports.
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct sound_play {
    long long ms;
    std::string sample;
    int channel;
    int volume;
};

struct headless_result {
    int exit_code = -1;
    std::string best_file;           // where the best score is kept: the folder's hiscore.txt, or the data folder's
    std::vector<sound_play> sounds;  // every sample the game played, in order
    std::vector<std::map<std::string, std::string>> trace;  // one map per frame
    std::map<std::string, std::string> state;
    std::string folder;  // the scratch game folder, kept until the next run
};

// Which korvane-headless runs: this machine's, the Windows build's under
// Wine, whose game folder the environment names in KORVANE_WINDOWS_GAME_DIR
// (the Windows suite sets it), or the web build's under node, whose game
// folder KORVANE_WEB_GAME_DIR names.
enum class headless_build { native, windows, web };
headless_build build_under_test();
// A path as Windows programs under Wine see it (Wine's drive Z: is /).
std::string windows_path(const std::string& path);
// Where the Windows build's tests/with_appdata.exe is.
std::string with_appdata_program();
// The tests' Wine prefixes ($WINEPREFIX, else ~/.wine): one for programs
// without a window, and one beside it for windowed programs, whose desktop
// process must belong to the X server of the test that starts it.
std::string wine_prefix();
std::string windowed_wine_prefix();
// A shell command that runs a Windows program under Wine with the arguments
// (words for the shell) and the folder as its APPDATA, through the Windows
// build's tests/with_appdata.exe beside its game folder.
std::string wine_command(const std::string& program, const std::string& appdata, const std::string& arguments);

// script: the --input text; extra: further command-line words. Without the
// game files the folder has no graphics/ and no WAV/.
headless_result run_headless(const std::string& script, const std::vector<std::string>& extra,
                             bool with_game_files = true, headless_build build = build_under_test());

// The same with the script given to --verify instead of --input: its line
// is in the folder's stdout.txt.
headless_result verify_headless(const std::string& script, const std::vector<std::string>& extra);

// The same, started without waiting: pid is the program's own.
struct headless_run {
    pid_t pid = -1;
    headless_result result;
};
headless_run start_headless(const std::string& script, const std::vector<std::string>& extra,
                            bool with_game_files = true);
headless_result finish_headless(headless_run& run);

// What the run left in a file of its folder ("stdout.txt", "stderr.txt", ...).
std::string folder_file(const headless_result& result, const std::string& name);

std::map<std::string, std::string> parse_json_line(const std::string& line);
long long number(const std::map<std::string, std::string>& values, const std::string& key);
