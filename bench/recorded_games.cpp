#include "recorded_games.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace {

struct recordings_folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() / ("korvane_bench_" + std::to_string(getpid()));
    recordings_folder() { std::filesystem::create_directories(path); }
    ~recordings_folder() { std::filesystem::remove_all(path); }
};

}  // namespace

const std::string& recorded_games(int games) {
    static const recordings_folder folder;
    static std::map<int, std::string> made;
    if (const auto found = made.find(games); found != made.end()) return found->second;
    const std::string path = (folder.path / (std::to_string(games) + "games.script")).string();
    const std::string command = "XDG_DATA_HOME='" + folder.path.string() +
                                "' ./korvane-headless --autoplay 1 --games " + std::to_string(games) +
                                " --no-draw --record '" + path + "' >/dev/null";
    return made[games] = std::system(command.c_str()) == 0 ? path : std::string();
}
