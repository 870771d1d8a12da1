#include "programs/usage.h"

#include <cstdio>
#include <string>

#include "files/game_files.h"
#include "files/system_folders.h"
#include "files/utf8_paths.h"
#include "present/keys.h"
#include "programs/settings.h"

namespace {

void print_exit_codes() {
    std::printf(
        "Exit codes: the game's (0); 2 for a bad option or script; 1 when an output\n"
        "cannot be made; 130, 129 or 143 after Ctrl+C, a closed terminal or SIGTERM\n"
        "(what was asked for so far is written).\n");
}

void print_game_usage(const char* program_path) {
    std::printf(
        "korvane %s: a retro arcade shooter. Squid aliens fly out of the field, growing\n"
        "as they come closer: aim with the mouse and shoot them before they escape.\n"
        "\n"
        "The game contains flashing: at a defeat the whole screen flashes through three\n"
        "colours, 25 times a second, for two seconds. --calm turns that off for a run,\n"
        "the setting calm = on for good (see Settings below).\n"
        "\n"
        "Usage: korvane [OPTION]... [NOSOUND]      play in a window\n"
        "       korvane-fs [OPTION]... [NOSOUND]   play on the whole screen\n"
        "\n"
        "  NOSOUND             play without sound (the word anywhere, in any case)\n",
        game_version());
    print_options(program_kind::windowed);
    std::printf(
        "\n"
        "Settings, kept between games in the settings file (below); each can also be\n"
        "given for one run, which does not change the file:\n");
    print_setting_options();
    std::printf("Other words on the command line are ignored.\n");
    print_exit_codes();
    std::printf(
        "\n"
        "Controls:\n"
        "  mouse         aim\n"
        "  left button   fire; on the title screen, start a game\n"
        "  Esc, middle button or the window's close button\n"
        "                pause and ask \"Quit? (Y/N)\": answer Y or N, or click them;\n"
        "                on the title screen, leave the game; skip the opening,\n"
        "                the instructions and the closing screen\n"
        "  Alt+Enter     switch between window and full screen; the window can be\n"
        "                dragged to any size\n"
        "  F12           save a screenshot in screenshots/, beside the best score\n"
        "  a pad         either stick or the d-pad aims (a shoulder button: faster),\n"
        "                A fires, B or Back is Esc, Start pauses (on the title it\n"
        "                starts a game)\n"
        "  M             mute and unmute\n"
        "  - and +       the volume, by a tenth\n"
        "Switching to another window or minimising the game pauses it.\n"
        "\n"
        "The game looks for its graphics/ and WAV/ folders in the working folder, then\n"
        "beside the program, then in the installed data folder. %s"
        "\n",
        score_beside_the_game() ? "The best score is kept\n"
                                  "in hiscore.txt: in the working folder when the game runs from its own folder,\n"
                                  "otherwise in $XDG_DATA_HOME/korvane (by default ~/.local/share/korvane).\n"
                                : "The best score is kept\n"
                                  "in %APPDATA%\\korvane\\hiscore.txt, wherever the game runs, and screenshots in\n"
                                  "%APPDATA%\\korvane\\screenshots.\n");
    locate_game_files(program_path);
    const auto shown = [](bool found, const std::string& path) {
        return !found ? std::string("not found") : path_of(path).is_absolute() ? path : "./" + path;
    };
    std::printf("Here:\n  pictures    %s\n  samples     %s\n  best score  %s\n  screenshots %s\n  settings    %s\n",
                shown(graphics_found(), graphics_file("")).c_str(), shown(samples_found(), sample_file("")).c_str(),
                shown(!hi_score_file().empty(), hi_score_file()).c_str(),
                shown(!hi_score_file().empty(), screenshot_folder()).c_str(),
                shown(!settings_file().empty(), settings_file()).c_str());
}

void print_headless_usage() {
    std::printf(
        "korvane-headless %s: the game on a deterministic platform without a window or\n"
        "real time, for tests, replays and benchmarks. Time is virtual: the sum of every\n"
        "sleep the game asked for, from 0 at start.\n"
        "\n"
        "Usage: korvane-headless [OPTION]... [GAME WORD]...\n",
        game_version());
    print_options(program_kind::headless);
    std::printf(
        "Game words such as NOSOUND go to the game. Without --end the run ends 60 s\n"
        "after the last scripted event (the autoplayer's: when its games are over),\n"
        "or when the game exits. A recording's replay starts from the best score it\n"
        "began with and never writes hiscore.txt.\n");
    print_exit_codes();
    std::printf(
        "\n"
        "Script events: move X Y, leave, press|release left|right|middle,\n"
        "keydown|keyup|hold KEY, type HEX, close, focus out, focus in, minimise; and\n"
        "'0 best N', the best score a recording began with, and '0 calm', a recording\n"
        "made in calm mode: a recording replays calm exactly when it has that line,\n"
        "whatever --calm says; other scripts run calm with --calm. '#' starts a comment.\n"
        "Keys: %s.\n",
        script_key_names().c_str());
}

}  // namespace

const char* game_version() { return KORVANE_VERSION; }

void print_version(program_kind kind) {
    std::printf("%s %s\n", kind == program_kind::windowed ? "korvane" : "korvane-headless", game_version());
}

void print_usage(program_kind kind, const char* program_path) {
    if (kind == program_kind::windowed)
        print_game_usage(program_path);
    else
        print_headless_usage();
}
