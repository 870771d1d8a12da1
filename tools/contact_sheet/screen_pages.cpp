// One frame of every screen a player meets, taken by korvane-headless from a
// whole recorded game (and a short one for the pause dialog): what the game
// really shows, at moments found in the game's own trace.
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "present/screen.h"
#include "sheet.h"

namespace fs = std::filesystem;

namespace {

constexpr int frame_ms = 40;
// A click at 0 on the title: the opening's 240 frames and the instructions' 266 follow.
constexpr int play_starts_ms = 30 + 240 * frame_ms + 266 * frame_ms;

struct moment {
    std::string name;
    long long ms;
};

// A whole number after "key": in one trace line.
long long value_of(const std::string& line, const std::string& key) {
    const auto at = line.find("\"" + key + "\":");
    return at == std::string::npos ? -1 : std::atoll(line.c_str() + at + key.size() + 3);
}

bool run_headless(const std::string& arguments) {
    return std::system(("./korvane-headless nosound " + arguments + " >/dev/null 2>&1").c_str()) == 0;
}

// The moments worth showing in the recorded game, from its frame trace: the
// picture of frame f is on show in the 40 ms before its line's time.
std::vector<moment> moments_of(const std::string& script, const fs::path& scratch) {
    const fs::path trace = scratch / "trace.jsonl";
    if (!run_headless("--input '" + script + "' --trace '" + trace.string() + "'")) return {};
    std::map<std::string, long long> found;
    long long last = -1;
    int stage_two_frames = 0, bonus_frames = 0;
    std::ifstream in(trace);
    for (std::string line; std::getline(in, line);) {
        const long long ms = value_of(line, "virtual_ms") - frame_ms / 2;
        if (value_of(line, "frame") == 120) found.emplace("play, background 0", ms);
        if (value_of(line, "stage") == 2 && !value_of(line, "bonus_stage") && ++stage_two_frames == 60)
            found.emplace("play, background 1", ms);
        if (value_of(line, "bonus_stage") != 0 && ++bonus_frames == 160) found.emplace("bonus stage", ms);
        last = ms;
    }
    if (found.size() != 3 || last < 0) return {};
    return {{"title", 20},
            {"opening", 30 + 100 * frame_ms},
            {"instructions", 30 + 240 * frame_ms + 120 * frame_ms},
            {"play, background 0", found["play, background 0"]},
            {"play, background 1", found["play, background 1"]},
            {"bonus stage", found["bonus stage"]},
            {"results", last + 200 * frame_ms},
            {"ending", last + 219 * frame_ms + 50 * frame_ms}};
}

// A PNG of the game's colours, back in the palette's indices.
image* read_shot(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return nullptr;
    png.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb_bytes(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, rgb_bytes.data(), 0, nullptr)) return nullptr;
    std::map<std::uint32_t, int> index_of;
    for (int i = 255; i >= 0; --i) {
        const rgb c = screen_palette()[i];
        index_of[std::uint32_t{c.r} << 16 | c.g << 8 | c.b] = i;
    }
    image* shot = create_image(static_cast<int>(png.width), static_cast<int>(png.height));
    for (std::uint32_t y = 0; y < png.height; ++y)
        for (std::uint32_t x = 0; x < png.width; ++x) {
            const std::uint8_t* p = &rgb_bytes[(y * png.width + x) * 3];
            const auto it = index_of.find(std::uint32_t{p[0]} << 16 | p[1] << 8 | p[2]);
            shot->pixels[y * shot->pitch + x] = static_cast<std::uint8_t>(it == index_of.end() ? 0 : it->second);
        }
    return shot;
}

}  // namespace

bool render_screen_page(const std::string& path, const std::string& recorded_game) {
    const fs::path scratch = fs::temp_directory_path() / ("korvane_screens_" + std::to_string(getpid()));
    fs::create_directories(scratch);
    std::vector<moment> moments = moments_of(recorded_game, scratch);
    std::vector<std::string> names;
    std::string shots;
    for (std::size_t i = 0; i < moments.size(); ++i) {
        shots +=
            " --shot " + std::to_string(moments[i].ms) + ":'" + (scratch / (std::to_string(i) + ".png")).string() + "'";
        names.push_back(moments[i].name);
    }
    bool ok = !moments.empty() && run_headless("--input '" + recorded_game + "'" + shots);
    // The pause dialog, from a game paused in its 30th frame.
    const fs::path pause = scratch / "pause.txt";
    const long long pause_ms = play_starts_ms + 29 * frame_ms;
    std::ofstream(pause) << "0 press left\n100 release left\n"
                         << pause_ms << " keydown esc\n"
                         << pause_ms + 100 << " keyup esc\n";
    ok = ok && run_headless("--input '" + pause.string() + "' --end " + std::to_string(pause_ms + 600) + " --shot " +
                            std::to_string(pause_ms + 500) + ":'" + (scratch / "pause.png").string() + "'");
    names.push_back("pause dialog");

    std::vector<image*> frames;
    for (std::size_t i = 0; ok && i < names.size(); ++i) {
        const fs::path file = scratch / (i + 1 == names.size() ? std::string("pause.png") : std::to_string(i) + ".png");
        frames.push_back(read_shot(file.string()));
        ok = frames.back() != nullptr;
    }
    if (ok) {
        ok = render_sheet(
            path, 3 * (screen_width + sheet_layout::gap) + sheet_layout::gap, static_cast<int>(frames.size()),
            [&](int i) { return frames[i]; }, [&](int i) { return names[i]; }, put_mode::copy);
    } else {
        std::fprintf(stderr, "the screens page could not be made from %s\n", recorded_game.c_str());
    }
    for (image* frame : frames) destroy_image(frame);
    fs::remove_all(scratch);
    return ok;
}
