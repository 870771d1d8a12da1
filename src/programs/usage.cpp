#include "programs/usage.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "files/game_files.h"
#include "files/system_folders.h"
#include "files/utf8_paths.h"
#include "present/keys.h"

namespace {

void print_game_usage(const char* program_path) {
    std::printf(
        "korvane %s: a retro arcade shooter. Squid aliens fly out of the field, growing\n"
        "as they come closer: aim with the mouse and shoot them before they escape.\n"
        "\n"
        "Usage: korvane [OPTION]... [NOSOUND]      play in a window\n"
        "       korvane-fs [OPTION]... [NOSOUND]   play on the whole screen\n"
        "\n"
        "  NOSOUND        play without sound (the word anywhere on the command line, in any case)\n"
        "  --record FILE  write everything you do into FILE as you play, to watch again\n"
        "                 or share: korvane-headless --input FILE plays it back exactly\n"
        "  --replay FILE  watch a recorded game; your mouse and keys do not reach it;\n"
        "                 hold Esc for a second or close the window to stop watching\n"
        "  -h, --help     show this help and exit\n"
        "  --version      show the version and exit\n"
        "Other words on the command line are ignored.\n"
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
        "Switching to another window or minimising the game pauses it.\n"
        "\n"
        "The game looks for its graphics/ and WAV/ folders in the working folder, then\n"
        "beside the program, then in the installed data folder. %s"
        "\n",
        game_version(),
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
    std::printf("Here:\n  pictures    %s\n  samples     %s\n  best score  %s\n  screenshots %s\n",
                shown(graphics_found(), graphics_file("")).c_str(), shown(samples_found(), sample_file("")).c_str(),
                shown(!hi_score_file().empty(), hi_score_file()).c_str(),
                shown(!hi_score_file().empty(), screenshot_folder()).c_str());
}

}  // namespace

const char* game_version() { return KORVANE_VERSION; }

bool answer_help_or_version(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        if (word == "-h" || word == "--help") {
            print_game_usage(argv[0]);
            return true;
        }
        if (word == "--version") {
            std::printf("korvane %s\n", game_version());
            return true;
        }
    }
    return false;
}

void print_headless_usage() {
    std::printf(
        "korvane-headless %s: the game on a deterministic platform without a window or\n"
        "real time, for tests, replays and benchmarks. Time is virtual: the sum of every\n"
        "sleep the game asked for, from 0 at start.\n"
        "\n"
        "Usage: korvane-headless [OPTION]... [GAME WORD]...\n"
        "  --input FILE        input script or recording, one event a line: 'MS EVENT ARGS'\n"
        "  --autoplay SEED     the built-in player plays instead of a script; a seed\n"
        "                      (0 to 4294967295) always plays the same games\n"
        "  --games N           games the built-in player plays before it quits (1)\n"
        "  --record FILE       write the input the game got into FILE, as a script\n"
        "  --memory FILE       the peak memory in KB at the start, after every 10000\n"
        "                      frames of play and at the end: 'FRAMES KB'\n"
        "  --timedemo          print at the end: 'timedemo: FRAMES frames of play,\n"
        "                      VIRTUAL s virtual, WALL s wall, FPS frames/s'\n"
        "  --shot MS:FILE.png  the picture on show at virtual time MS (repeatable)\n"
        "  --end MS            end the run at virtual time MS (times go up to 86400000:\n"
        "                      a day of the game's time)\n"
        "  --state FILE        the game's values at the end, as JSON\n"
        "  --trace FILE        one JSON line per frame of play\n"
        "  --sounds FILE       one line per sample played: MS NAME CHANNEL VOLUME\n"
        "  --pictures FILE     one line per picture seen, when it appeared: MS DIGEST\n"
        "  -h, --help          show this help and exit\n"
        "  --version           show the version and exit\n"
        "Game words such as NOSOUND go to the game. Without --end the run ends 60 s\n"
        "after the last scripted event (the autoplayer's: when its games are over),\n"
        "or when the game exits. A recording's replay starts from the best score it\n"
        "began with and never writes hiscore.txt.\n"
        "Exit codes: the game's (0); 2 for a bad option or script; 1 when an output\n"
        "cannot be made; 130, 129 or 143 after Ctrl+C, a closed terminal or SIGTERM\n"
        "(outputs so far written).\n"
        "\n"
        "Script events: move X Y, leave, press|release left|right|middle,\n"
        "keydown|keyup|hold KEY, type HEX, close, focus out, focus in, minimise; and\n"
        "'0 best N', the best score a recording began with. '#' starts a comment.\n"
        "Keys: %s.\n",
        game_version(), script_key_names().c_str());
}
