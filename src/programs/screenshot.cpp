#include "programs/screenshot.h"

#include <cstdio>
#include <ctime>
#include <system_error>

#include "files/game_files.h"
#include "files/utf8_paths.h"
#include "present/png_writer.h"
#include "present/screen.h"

std::string save_screenshot(const std::uint8_t* pixels, const rgb* palette) {
    const std::string folder = make_screenshot_folder();
    if (folder.empty()) {
        std::fprintf(stderr, "korvane: no folder for screenshots beside %s\n", hi_score_file().c_str());
        return {};
    }
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", std::localtime(&now));
    // Two in one second get a number.
    std::string path = folder + "/korvane-" + stamp + ".png";
    const auto taken = [](const std::string& name) {
        std::error_code ec;
        return std::filesystem::exists(path_of(name), ec);
    };
    for (int n = 2; taken(path); ++n) path = folder + "/korvane-" + stamp + "-" + std::to_string(n) + ".png";
    if (!write_png(path, pixels, screen_width, screen_height, screen_width, palette)) {
        std::fprintf(stderr, "korvane: cannot write the screenshot %s\n", path.c_str());
        return {};
    }
    return path;
}
