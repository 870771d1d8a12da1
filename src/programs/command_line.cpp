#include "programs/command_line.h"

#include <cstdio>
#include <string>

#include "present/input_script.h"
#include "present/words.h"
#include "programs/recordings.h"
#include "programs/settings.h"

namespace {

constexpr unsigned for_windowed = 1;
constexpr unsigned for_headless = 2;

unsigned kind_bit(program_kind kind) { return kind == program_kind::windowed ? for_windowed : for_headless; }

// Takes an option's value into the command line; false after a message.
using value_taker = bool (*)(const char* program, const std::string& value, command_line&);

struct option {
    const char* short_name = nullptr;
    const char* name;
    const char* value = nullptr;  // what the value is called in the help; none for a switch
    unsigned programs;
    const char* help;  // lines apart by '\n'
    // What the option sets: a switch, a file's name or, read by take, anything else.
    bool command_line::*flag = nullptr;
    std::string command_line::*file = nullptr;
    value_taker take = nullptr;
};

// A file's name: any word but the empty one, which names no file.
bool take_file(const char* program, const char* option, const std::string& value, std::string& field) {
    if (value.empty()) {
        std::fprintf(stderr, "%s: %s wants a file name\n", program, option);
        return false;
    }
    field = value;
    return true;
}

// Milliseconds of virtual time, as scripts count them.
bool parse_ms(const std::string& text, std::uint64_t& ms) {
    long long value = 0;
    if (!parse_whole_number(text, 0, latest_script_ms, value)) return false;
    ms = static_cast<std::uint64_t>(value);
    return true;
}

bool take_end(const char* program, const std::string& value, command_line& line) {
    std::uint64_t ms = 0;
    if (!parse_ms(value, ms)) {
        std::fprintf(stderr, "%s: --end wants a whole number of milliseconds up to %lld (a day)\n", program,
                     latest_script_ms);
        return false;
    }
    line.end_ms = ms;
    return true;
}

bool take_shot(const char* program, const std::string& value, command_line& line) {
    const auto colon = value.find(':');
    screenshot_request shot;
    if (colon == std::string::npos || !parse_ms(value.substr(0, colon), shot.ms) || colon + 1 == value.size()) {
        std::fprintf(stderr, "%s: --shot wants MS:FILE.png with MS up to %lld, not %s\n", program, latest_script_ms,
                     quoted(value).c_str());
        return false;
    }
    shot.path = value.substr(colon + 1);
    line.shots.push_back(shot);
    return true;
}

bool take_seed(const char* program, const std::string& value, command_line& line) {
    long long seed = 0;
    if (!parse_whole_number(value, 0, 0xffffffffLL, seed)) {
        std::fprintf(stderr, "%s: --autoplay wants a seed, a whole number below 2^32\n", program);
        return false;
    }
    line.autoplay_seed = static_cast<std::uint32_t>(seed);
    return true;
}

bool take_games(const char* program, const std::string& value, command_line& line) {
    long long games = 0;
    if (!parse_whole_number(value, 1, 1'000'000, games)) {
        std::fprintf(stderr, "%s: --games wants a number of games, 1 to 1000000\n", program);
        return false;
    }
    line.games = static_cast<int>(games);
    return true;
}

constexpr unsigned for_both = for_windowed | for_headless;

// In the order --help lists them.
constexpr option options[] = {
    // The windowed programs' --calm is their calm setting (settings.h).
    {.name = "--calm",
     .programs = for_headless,
     .help = "calm mode, for players sensitive to flashing: the field\n"
             "never changes its colours more than three times a second\n"
             "(a defeat no longer flashes it); a recording replays as\n"
             "calm as it was played",
     .flag = &command_line::calm},
    {.name = "--record",
     .value = "FILE",
     .programs = for_both,
     .help = "write the input the game gets into FILE, to watch again\n"
             "or share: korvane --replay FILE (or korvane-headless\n"
             "--input FILE) plays it back exactly",
     .file = &command_line::record},
    {.name = "--replay",
     .value = "FILE",
     .programs = for_windowed,
     .help = "watch a recording; your mouse and keys do not reach it;\n"
             "Space pauses, Right/Left jump 10 s, Up/Down set the speed\n"
             "(1x to 8x), PgDn/PgUp go to the next/previous game, Home\n"
             "to the start; hold Esc for a second or close the window to\n"
             "stop watching",
     .file = &command_line::replay},
    {.name = "--input",
     .value = "FILE",
     .programs = for_headless,
     .help = "input script or recording, one event a line: 'MS EVENT ARGS'",
     .file = &command_line::replay},
    {.name = "--verify",
     .value = "FILE",
     .programs = for_headless,
     .help = "check a recording someone sent: replay it without drawing\n"
             "and print one line, 'verify: games=G frames=F score=S\n"
             "best=B max_chain=C virtual_ms=MS' (frames of play, the\n"
             "final score, the best score, the longest chain, the\n"
             "game's time), or why it cannot be replayed (exit code 2)",
     .file = &command_line::verify_file},
    {.name = "--autoplay",
     .value = "SEED",
     .programs = for_headless,
     .help = "the built-in player plays instead of a script; a seed\n(0 to 4294967295) always plays the same games",
     .take = take_seed},
    {.name = "--games",
     .value = "N",
     .programs = for_headless,
     .help = "games the built-in player plays before it quits (1)",
     .take = take_games},
    {.name = "--memory",
     .value = "FILE",
     .programs = for_headless,
     .help = "the peak memory in KB at the start, after every 10000\nframes of play and at the end: 'FRAMES KB'",
     .file = &command_line::memory_file},
    {.name = "--timedemo",
     .programs = for_headless,
     .help = "print at the end: 'timedemo: FRAMES frames of play,\nVIRTUAL s virtual, WALL s wall, FPS frames/s'",
     .flag = &command_line::timedemo},
    {.name = "--no-draw",
     .programs = for_headless,
     .help = "run the game without drawing its pictures: everything\n"
             "else happens as when drawing; the trace's picture is\n"
             "\"none\", and --shot and --pictures are refused",
     .flag = &command_line::no_draw},
    {.name = "--shot",
     .value = "MS:FILE.png",
     .programs = for_headless,
     .help = "the picture on show at virtual time MS (repeatable)",
     .take = take_shot},
    {.name = "--end",
     .value = "MS",
     .programs = for_headless,
     .help = "end the run at virtual time MS (times go up to 86400000:\na day of the game's time)",
     .take = take_end},
    {.name = "--state",
     .value = "FILE",
     .programs = for_headless,
     .help = "the game's values at the end, as JSON",
     .file = &command_line::state_file},
    {.name = "--trace",
     .value = "FILE",
     .programs = for_headless,
     .help = "one JSON line per frame of play",
     .file = &command_line::trace_file},
    {.name = "--sounds",
     .value = "FILE",
     .programs = for_headless,
     .help = "one line per sample played: MS NAME CHANNEL VOLUME",
     .file = &command_line::sounds_file},
    {.name = "--pictures",
     .value = "FILE",
     .programs = for_headless,
     .help = "one line per picture seen, when it appeared: MS DIGEST",
     .file = &command_line::pictures_file},
    {.short_name = "-h",
     .name = "--help",
     .programs = for_both,
     .help = "show this help and exit",
     .flag = &command_line::help},
    {.name = "--version", .programs = for_both, .help = "show the version and exit", .flag = &command_line::version},
};

// A windowed program's --SETTING VALUE, --SWITCH or --no-SWITCH: 0 when the
// word is no setting, else how many words it took (false after a message
// for a bad value).
int take_setting(const char* program, int argc, char** argv, int i, command_line& line, bool& ok) {
    const std::string word = argv[i];
    if (!word.starts_with("--")) return 0;
    std::string name = word.substr(2);
    std::string value = "on";
    if (name.starts_with("no-") && kind_of_setting(name.substr(3)) == setting_kind::switch_setting) {
        name.erase(0, 3);
        value = "off";
    }
    const setting_kind kind = kind_of_setting(name);
    if (kind == setting_kind::none || (kind == setting_kind::value_setting && value == "off")) return 0;
    int taken = 1;
    if (kind == setting_kind::value_setting) {
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s: %s wants a value\n", program, word.c_str());
            ok = false;
            return 1;
        }
        value = argv[i + 1];
        taken = 2;
    }
    game_settings checked;
    std::string why;
    if (!set_setting(checked, name, value, why)) {
        std::fprintf(stderr, "%s: %s %s: %s\n", program, word.c_str(), quoted(value).c_str(), why.c_str());
        ok = false;
    }
    line.settings.emplace_back(name, value);
    return taken;
}

// The option of a kind of program that the word names: the same name may
// be another's (--calm is korvane-headless's option and the windowed
// programs' setting).
const option* find_option(program_kind kind, const std::string& word) {
    for (const option& o : options)
        if ((o.programs & kind_bit(kind)) != 0 && (word == o.name || (o.short_name != nullptr && word == o.short_name)))
            return &o;
    return nullptr;
}

// What only makes sense together, or apart.
bool consistent(program_kind kind, const char* program, const command_line& line) {
    if (kind == program_kind::headless) {
        if (line.games && !line.autoplay_seed) {
            std::fprintf(stderr, "%s: --games counts the autoplayer's games; give --autoplay too\n", program);
            return false;
        }
        if (!line.verify_file.empty() && (!line.replay.empty() || line.autoplay_seed)) {
            std::fprintf(stderr, "%s: --verify replays its own recording; give no %s\n", program,
                         line.replay.empty() ? "--autoplay" : "--input");
            return false;
        }
        if (!line.verify_file.empty() && (!line.shots.empty() || !line.pictures_file.empty())) {
            std::fprintf(stderr, "%s: --verify draws nothing: there is no picture for %s\n", program,
                         line.shots.empty() ? "--pictures" : "--shot");
            return false;
        }
        if (line.no_draw && (!line.shots.empty() || !line.pictures_file.empty())) {
            std::fprintf(stderr, "%s: with --no-draw nothing is drawn: there is no picture for %s\n", program,
                         line.shots.empty() ? "--pictures" : "--shot");
            return false;
        }
        if (line.autoplay_seed && !line.replay.empty()) {
            std::fprintf(stderr, "%s: --autoplay plays instead of --input; give one of them\n", program);
            return false;
        }
    }
    return true;
}

}  // namespace

bool read_command_line(program_kind kind, const char* program, int argc, char** argv, command_line& line) {
    line.game_args.assign(1, argc > 0 ? argv[0] : nullptr);
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const option* o = find_option(kind, word);
        if (o == nullptr && kind == program_kind::windowed) {
            bool ok = true;
            if (const int taken = take_setting(program, argc, argv, i, line, ok); taken > 0) {
                if (!ok) return false;
                i += taken - 1;
                continue;
            }
        }
        if (o == nullptr) {
            // A mistyped option would otherwise reach the game unnoticed.
            if (kind == program_kind::headless && word.starts_with("--")) {
                std::fprintf(stderr, "%s: unknown option %s (see --help)\n", program, quoted(word).c_str());
                return false;
            }
            line.game_args.push_back(argv[i]);
            continue;
        }
        if (o->flag != nullptr) {
            line.*(o->flag) = true;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "%s: %s wants %s\n", program, o->name, o->file != nullptr ? "a file name" : "a value");
            return false;
        }
        const std::string value = argv[++i];
        if (!(o->file != nullptr ? take_file(program, o->name, value, line.*(o->file)) : o->take(program, value, line)))
            return false;
    }
    line.game_args.push_back(nullptr);
    if (!consistent(kind, program, line)) return false;
    if (!line.verify_file.empty()) {
        line.replay = line.verify_file;
        line.no_draw = true;
    }
    return recording_apart_from_replay(program, line.record, line.replay);
}

void print_options(program_kind kind) {
    constexpr int name_width = 20;
    for (const option& o : options) {
        if ((o.programs & kind_bit(kind)) == 0) continue;
        std::string names = o.short_name != nullptr ? std::string(o.short_name) + ", " + o.name : o.name;
        if (o.value != nullptr) names += std::string(" ") + o.value;
        std::string help = o.help;
        for (std::size_t start = 0, line = 0; start <= help.size(); ++line) {
            const std::size_t end = std::min(help.find('\n', start), help.size());
            std::printf("  %-*s%s\n", name_width, line == 0 ? names.c_str() : "",
                        help.substr(start, end - start).c_str());
            start = end + 1;
        }
    }
}
