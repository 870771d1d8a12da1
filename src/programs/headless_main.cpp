// korvane-headless: the same game on the headless platform, for tests,
// replays, timedemos and benchmarks (see print_headless_usage).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "autoplay/autoplay.h"
#include "flow/flow.h"
#include "present/headless_platform.h"
#include "present/input_script.h"
#include "present/picture_digest.h"
#include "present/words.h"
#include "programs/game_report.h"
#include "programs/process.h"
#include "programs/recordings.h"
#include "programs/usage.h"
#include "screens/screens.h"
#include "sound/recording_sound_library.h"
#include "sound/sound.h"
#include "state/play_state.h"

namespace {

struct options {
    bool help = false;
    bool version = false;
    std::string input;
    std::vector<screenshot_request> shots;
    std::optional<std::uint64_t> end_ms;
    std::string state_file;
    std::string trace_file;
    std::string sounds_file;
    std::string pictures_file;
    std::string record_file;
    std::string memory_file;
    bool timedemo = false;
    std::optional<std::uint32_t> autoplay_seed;
    std::optional<int> games;  // the autoplayer's, 1 when not given
    std::vector<char*> game_args;
};

// Milliseconds of virtual time, as scripts count them.
bool parse_ms(const std::string& text, std::uint64_t& ms) {
    long long value = 0;
    if (!parse_whole_number(text, 0, latest_script_ms, value)) return false;
    ms = static_cast<std::uint64_t>(value);
    return true;
}

// Options whose value is the name of a file to read or write.
constexpr std::pair<std::string_view, std::string options::*> file_options[] = {
    {"--input", &options::input},        {"--state", &options::state_file},       {"--trace", &options::trace_file},
    {"--sounds", &options::sounds_file}, {"--pictures", &options::pictures_file}, {"--record", &options::record_file},
    {"--memory", &options::memory_file},
};

std::string options::*file_option(const std::string& arg) {
    for (const auto& [name, field] : file_options)
        if (arg == name) return field;
    return nullptr;
}

// Options that take a value.
bool is_option(const std::string& arg) {
    return file_option(arg) || arg == "--shot" || arg == "--end" || arg == "--autoplay" || arg == "--games";
}

bool parse_options(int argc, char** argv, options& o) {
    o.game_args.push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            o.help = true;
            continue;
        }
        if (arg == "--version") {
            o.version = true;
            continue;
        }
        if (arg == "--timedemo") {
            o.timedemo = true;
            continue;
        }
        // A mistyped option would otherwise reach the game unnoticed.
        if (arg.starts_with("--") && !is_option(arg)) {
            std::fprintf(stderr, "korvane-headless: unknown option %s (see --help)\n", quoted(arg).c_str());
            return false;
        }
        if (!is_option(arg)) {
            o.game_args.push_back(argv[i]);
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "korvane-headless: %s wants a value\n", arg.c_str());
            return false;
        }
        const std::string value = argv[++i];
        if (const auto field = file_option(arg)) {
            if (value.empty()) {
                std::fprintf(stderr, "korvane-headless: %s wants a file name\n", arg.c_str());
                return false;
            }
            o.*field = value;
        } else if (arg == "--autoplay") {
            long long seed = 0;
            if (!parse_whole_number(value, 0, 0xffffffffLL, seed)) {
                std::fprintf(stderr, "korvane-headless: --autoplay wants a seed, a whole number below 2^32\n");
                return false;
            }
            o.autoplay_seed = static_cast<std::uint32_t>(seed);
        } else if (arg == "--games") {
            long long games = 0;
            if (!parse_whole_number(value, 1, 1'000'000, games)) {
                std::fprintf(stderr, "korvane-headless: --games wants a number of games, 1 to 1000000\n");
                return false;
            }
            o.games = static_cast<int>(games);
        } else if (arg == "--end") {
            std::uint64_t ms = 0;
            if (!parse_ms(value, ms)) {
                std::fprintf(stderr,
                             "korvane-headless: --end wants a whole number of milliseconds up to %lld (a day)\n",
                             latest_script_ms);
                return false;
            }
            o.end_ms = ms;
        } else {
            const auto colon = value.find(':');
            screenshot_request shot;
            if (colon == std::string::npos || !parse_ms(value.substr(0, colon), shot.ms) || colon + 1 == value.size()) {
                std::fprintf(stderr, "korvane-headless: --shot wants MS:FILE.png with MS up to %lld, not %s\n",
                             latest_script_ms, quoted(value).c_str());
                return false;
            }
            shot.path = value.substr(colon + 1);
            o.shots.push_back(shot);
        }
    }
    o.game_args.push_back(nullptr);
    if (o.games.has_value() && !o.autoplay_seed) {
        std::fprintf(stderr, "korvane-headless: --games counts the autoplayer's games; give --autoplay too\n");
        return false;
    }
    if (!recording_apart_from_replay("korvane-headless", o.record_file, o.input)) return false;
    if (o.autoplay_seed && !o.input.empty()) {
        std::fprintf(stderr, "korvane-headless: --autoplay plays instead of --input; give one of them\n");
        return false;
    }
    return true;
}

// Closes an output file: true when all of it was written.
bool close_output(std::FILE* f) {
    const bool written = std::ferror(f) == 0;
    return std::fclose(f) == 0 && written;
}

void say_cannot_write(const std::string& path) {
    std::fprintf(stderr, "korvane-headless: cannot write %s\n", quoted(path).c_str());
}

std::FILE* trace = nullptr;
headless_platform* the_platform = nullptr;

// Every picture a player sees, once: when it was first on show as time passed, and its digest.
class picture_log {
public:
    bool open(const std::string& path) { return (file_ = std::fopen(path.c_str(), "wb")) != nullptr; }
    void seen(std::uint64_t ms, const std::uint8_t* pixels, const rgb* palette) {
        const std::uint64_t digest = picture_digest(pixels, palette);
        if (digest == last_ && any_) return;
        std::fprintf(file_, "%llu %016llx\n", static_cast<unsigned long long>(ms),
                     static_cast<unsigned long long>(digest));
        last_ = digest;
        any_ = true;
    }
    // True when every line was written.
    bool close() { return close_output(file_); }

private:
    std::FILE* file_ = nullptr;
    std::uint64_t last_ = 0;
    bool any_ = false;
};

std::uint64_t frames_of_play = 0;
std::FILE* memory = nullptr;
constexpr std::uint64_t frames_between_memory_lines = 10'000;

void write_memory_line() {
    std::fprintf(memory, "%llu %ld\n", static_cast<unsigned long long>(frames_of_play), peak_memory_kb());
    std::fflush(memory);
}

void count_frame() {
    ++frames_of_play;
    if (trace != nullptr) std::fprintf(trace, "%s\n", frame_report_json(the_platform->now_ms()).c_str());
    if (memory != nullptr && frames_of_play % frames_between_memory_lines == 0) write_memory_line();
}

// Ctrl+C and kill end the run as its time running out would: what the run
// produced so far is written.
void stop_run(int exit_code) { the_platform->stop(exit_code); }

bool write_state(const std::string& path, std::uint64_t now) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool written = std::fprintf(f, "%s\n", state_report_json(now).c_str()) > 0;
    return std::fclose(f) == 0 && written;
}

// One line a play: virtual time, sample, channel and volume (-1: the sample's default).
bool write_sounds(const std::string& path, const std::vector<recording_sound_library::play>& plays) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    for (const auto& p : plays)
        std::fprintf(f, "%llu %s %d %d\n", static_cast<unsigned long long>(p.ms), sample_name(p.sample), p.channel,
                     p.volume);
    return close_output(f);
}

}  // namespace

int main(int argc, char** argv) {
    prepare_standard_streams(false);
    options o;
    if (!parse_options(argc, argv, o)) return 2;
    if (o.help) {
        print_headless_usage();
        return 0;
    }
    if (o.version) {
        std::printf("korvane-headless %s\n", game_version());
        return 0;
    }
    script_contents script;
    if (!o.input.empty() && !read_recording("korvane-headless", o.input, script)) return 2;
    // A recording replays from the best score it began with, and leaves the
    // player's own alone.
    if (script.best_at_start) keep_hi_score_apart(script.best_at_start);
    // The autoplayer's scores are not the player's.
    if (o.autoplay_seed) keep_hi_score_apart(std::nullopt);
    // An output that cannot be opened is one that cannot be made: exit 1.
    const auto cannot_write = [](const std::string& path) {
        say_cannot_write(path);
        return 1;
    };
    if (!o.trace_file.empty() && (trace = std::fopen(o.trace_file.c_str(), "wb")) == nullptr)
        return cannot_write(o.trace_file);
    if (!o.memory_file.empty() && (memory = std::fopen(o.memory_file.c_str(), "wb")) == nullptr)
        return cannot_write(o.memory_file);
    picture_log pictures;
    if (!o.pictures_file.empty() && !pictures.open(o.pictures_file)) return cannot_write(o.pictures_file);
    if (!o.record_file.empty() && !start_recording("korvane-headless", o.record_file, argc, argv)) return 1;
    if (memory != nullptr) write_memory_line();
    set_frame_end_hook(count_frame);
    // The autoplayer plays until its games are over, unless told when to stop.
    const bool plays_to_the_end = o.autoplay_seed && !o.end_ms;
    if (plays_to_the_end) o.end_ms = headless_platform::no_end;
    headless_platform platform(std::move(script.events), std::move(o.shots), o.end_ms);
    the_platform = &platform;
    if (o.autoplay_seed) play_by_itself(platform, *o.autoplay_seed, o.games.value_or(1));
    // The game's sound runs as it would with a device, and what it plays is
    // written down. Static: the sound closes at exit, after main.
    static recording_sound_library sound([&platform] { return platform.now_ms(); });
    sound.log_plays = !o.sounds_file.empty();
    use_sound_library(&sound);
    if (!o.pictures_file.empty())
        platform.on_picture_seen([&pictures](std::uint64_t ms, const std::uint8_t* pixels, const rgb* palette) {
            pictures.seen(ms, pixels, palette);
        });
    on_stop_request(stop_run);
    install_platform(&platform);
    int exit_code = 0;
    const auto wall_start = std::chrono::steady_clock::now();
    try {
        exit_code = run_program(static_cast<int>(o.game_args.size()) - 1, o.game_args.data(), false);
    } catch (const headless_run_over& over) {
        exit_code = over.exit_code;
        // The autoplayer leaves the program itself; a game left waiting for
        // input is its fault.
        if (plays_to_the_end && exit_code == 0) {
            std::fprintf(stderr, "korvane-headless: the autoplayer left the game waiting for input at %llu ms\n",
                         static_cast<unsigned long long>(platform.now_ms()));
            exit_code = 1;
        }
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wall_start;
    if (o.timedemo)
        std::printf("timedemo: %llu frames of play, %.1f s virtual, %.3f s wall, %.0f frames/s\n",
                    static_cast<unsigned long long>(frames_of_play), platform.now_ms() / 1000.0, wall.count(),
                    wall.count() > 0 ? frames_of_play / wall.count() : 0.0);
    // Every output asked for and not made is a failure of the run.
    bool output_failed = platform.shot_failed();
    if (!o.record_file.empty() && !finish_recording("korvane-headless", o.record_file)) output_failed = true;
    const auto made = [&output_failed](bool written, const std::string& path) {
        if (written) return;
        say_cannot_write(path);
        output_failed = true;
    };
    if (memory != nullptr) {
        write_memory_line();
        made(close_output(memory), o.memory_file);
    }
    if (trace != nullptr) made(close_output(trace), o.trace_file);
    for (const screenshot_request& shot : platform.pending_shots()) {
        std::fprintf(stderr, "korvane-headless: the run ended before %s at %llu ms\n", quoted(shot.path).c_str(),
                     static_cast<unsigned long long>(shot.ms));
        output_failed = true;
    }
    if (!o.pictures_file.empty()) {
        pictures.seen(platform.now_ms(), platform.shown_pixels(), platform.shown_palette());
        made(pictures.close(), o.pictures_file);
    }
    if (!o.sounds_file.empty()) made(write_sounds(o.sounds_file, sound.plays), o.sounds_file);
    if (!o.state_file.empty()) made(write_state(o.state_file, platform.now_ms()), o.state_file);
    install_platform(nullptr);
    return output_failed ? 1 : exit_code;
}
