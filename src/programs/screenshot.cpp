#include "programs/screenshot.h"

#include <sys/stat.h>

#include <cstdio>
#include <ctime>

#include "files/game_files.h"
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
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    // Two in one second get a number.
    std::string path = folder + "/korvane-" + stamp + ".png";
    struct stat existing {};
    for (int n = 2; stat(path.c_str(), &existing) == 0; ++n)
        path = folder + "/korvane-" + stamp + "-" + std::to_string(n) + ".png";
    if (!write_png(path, pixels, screen_width, screen_height, screen_width, palette)) {
        std::fprintf(stderr, "korvane: cannot write the screenshot %s\n", path.c_str());
        return {};
    }
    return path;
}
