#include "files/game_files.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A folder that holds graphics/ or WAV/: empty for the working folder,
// otherwise a folder path ending in '/'.
std::string graphics_root;
std::string samples_root;
bool graphics_were_found = true;
bool samples_were_found = true;
std::string graphics_searched;
std::string samples_searched;
std::string score_file = "hiscore.txt";
bool score_in_user_folder = false;

bool has_extension(const fs::path& file, std::string_view extension) {
    const std::string ext = file.extension().string();
    if (ext.size() != extension.size()) return false;
    for (std::size_t i = 0; i < ext.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(ext[i])) != extension[i]) return false;
    return true;
}

// A folder counts only when it holds at least one file of the kind, so that
// a player's own "graphics" folder in the working folder is not taken for the game's.
bool holds_files(const fs::path& folder, std::string_view extension) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (has_extension(it->path(), extension) && it->is_regular_file(ec)) return true;
    return false;
}

fs::path program_folder(const char* program_path) {
    std::error_code ec;
    const fs::path running = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && running.is_absolute()) return running.parent_path();
    const std::string path = program_path != nullptr ? program_path : "";
    if (path.find('/') == std::string::npos) return {};
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? fs::path{} : absolute.parent_path();
}

// The folders to search, in order, each once.
std::vector<std::string> search_roots(const char* program_path) {
    std::vector<std::string> roots{""};
    std::vector<fs::path> seen{fs::current_path()};
    const auto add = [&](const fs::path& folder) {
        if (folder.empty()) return;
        std::error_code ec;
        const fs::path canonical = fs::weakly_canonical(folder, ec);
        for (const fs::path& s : seen)
            if (!ec && fs::equivalent(s, canonical, ec)) return;
        seen.push_back(canonical);
        roots.push_back((ec ? folder : canonical).string() + "/");
    };
    const fs::path beside = program_folder(program_path);
    add(beside);
    // The installed layout, relative to the program so that a moved prefix works too.
    if (!beside.empty()) add((beside / KORVANE_DATA_FROM_PROGRAM).lexically_normal());
    add(KORVANE_DATA_DIR);
    return roots;
}

// Finds the first root that holds folder; empty and false when none does.
bool find_root(const std::vector<std::string>& roots, const char* folder, std::string_view extension,
               std::string& found, std::string& searched) {
    searched.clear();
    for (std::size_t i = 0; i < roots.size(); ++i) {
        const std::string candidate = roots[i] + folder;
        if (holds_files(candidate, extension)) {
            found = roots[i];
            return true;
        }
        searched += i == 0 ? "" : i + 1 == roots.size() ? " or " : ", ";
        searched += roots[i].empty() ? "./" + candidate : candidate;
    }
    found.clear();
    return false;
}

std::string user_data_folder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + "/.local/share";
}

}  // namespace

void locate_game_files(const char* program_path) {
    const std::vector<std::string> roots = search_roots(program_path);
    graphics_were_found = find_root(roots, "graphics", ".bmp", graphics_root, graphics_searched);
    samples_were_found = find_root(roots, "WAV", ".wav", samples_root, samples_searched);

    score_in_user_folder = !graphics_were_found || !graphics_root.empty();
    if (!score_in_user_folder) {
        score_file = "hiscore.txt";
    } else {
        const std::string folder = user_data_folder();
        score_file = folder.empty() ? "" : folder + "/korvane/hiscore.txt";
    }
}

std::string graphics_file(std::string_view name) {
    std::string path;
    graphics_file(name, path);
    return path;
}
void graphics_file(std::string_view name, std::string& path) { path.assign(graphics_root).append("graphics/").append(name); }
std::string sample_file(std::string_view name) { return samples_root + "WAV/" + std::string(name); }
bool graphics_found() { return graphics_were_found; }
bool samples_found() { return samples_were_found; }
std::string graphics_search_list() { return graphics_searched; }
std::string sample_search_list() { return samples_searched; }

std::string hi_score_file() { return score_file; }
bool hi_score_in_user_folder() { return score_in_user_folder; }

bool make_hi_score_folder() {
    if (!score_in_user_folder) return true;
    if (score_file.empty()) return false;
    const std::string folder = fs::path(score_file).parent_path().string();
    // Each missing level is made private to the player, as data folders should be.
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string level = folder.substr(0, slash);
        if (mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string make_screenshot_folder() {
    if (!make_hi_score_folder()) return {};
    const std::string folder = fs::path(score_file).parent_path().string();
    const std::string screenshots = (folder.empty() ? "" : folder + "/") + "screenshots";
    if (mkdir(screenshots.c_str(), 0777) != 0 && errno != EEXIST) return {};
    struct stat info {};
    return stat(screenshots.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? screenshots : std::string{};
}
