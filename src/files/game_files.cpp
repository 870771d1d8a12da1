#include "files/game_files.h"

#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "files/system_folders.h"
#include "files/utf8_paths.h"

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
    const std::string ext = text_of(file.extension());
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
    if (const std::string running = running_program_path(); !running.empty()) return path_of(running).parent_path();
    const fs::path path = path_of(program_path != nullptr ? program_path : "");
    if (!path.has_parent_path()) return {};
    std::error_code ec;
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
        roots.push_back(text_of(ec ? folder : canonical) + "/");
    };
    const fs::path beside = program_folder(program_path);
    add(beside);
    // The installed layout, relative to the program so that a moved prefix works too.
    if (!beside.empty()) add((beside / KORVANE_DATA_FROM_PROGRAM).lexically_normal());
    add(path_of(KORVANE_DATA_DIR));
    return roots;
}

// Finds the first root that holds folder; empty and false when none does.
bool find_root(const std::vector<std::string>& roots, const char* folder, std::string_view extension,
               std::string& found, std::string& searched) {
    searched.clear();
    for (std::size_t i = 0; i < roots.size(); ++i) {
        const std::string candidate = roots[i] + folder;
        if (holds_files(path_of(candidate), extension)) {
            found = roots[i];
            return true;
        }
        searched += i == 0 ? "" : i + 1 == roots.size() ? " or " : ", ";
        searched += roots[i].empty() ? "./" + candidate : candidate;
    }
    found.clear();
    return false;
}

}  // namespace

void locate_game_files(const char* program_path) {
    const std::vector<std::string> roots = search_roots(program_path);
    graphics_were_found = find_root(roots, "graphics", ".bmp", graphics_root, graphics_searched);
    samples_were_found = find_root(roots, "WAV", ".wav", samples_root, samples_searched);

    score_in_user_folder = !score_beside_the_game() || !graphics_were_found || !graphics_root.empty();
    if (!score_in_user_folder) {
        score_file = "hiscore.txt";
    } else {
        const std::string folder = user_data_folder();
        score_file = folder.empty() ? "" : text_of(path_of(folder) / "korvane" / "hiscore.txt");
    }
}

std::string graphics_file(std::string_view name) {
    std::string path;
    graphics_file(name, path);
    return path;
}
void graphics_file(std::string_view name, std::string& path) {
    path.assign(graphics_root).append("graphics/").append(name);
}
std::string sample_file(std::string_view name) { return samples_root + "WAV/" + std::string(name); }
bool graphics_found() { return graphics_were_found; }
bool samples_found() { return samples_were_found; }
std::string graphics_search_list() { return graphics_searched; }
std::string sample_search_list() { return samples_searched; }

std::string hi_score_file() { return score_file; }
bool hi_score_in_user_folder() { return score_in_user_folder; }

namespace {

// Makes each missing level of a file's folder, private to the player, as
// data and configuration folders should be.
bool make_private_folders_of(const std::string& file) {
    if (file.empty()) return false;
    fs::path level;
    for (const fs::path& part : path_of(file).parent_path()) {
        level /= part;
        if (part == level.root_name() || part == level.root_directory()) continue;
        if (!make_folder(text_of(level), true)) return false;
    }
    return true;
}

}  // namespace

bool make_hi_score_folder() { return !score_in_user_folder || make_private_folders_of(score_file); }

std::string settings_file() {
    const std::string folder = user_config_folder();
    return folder.empty() ? std::string{} : text_of(path_of(folder) / "korvane" / "settings.ini");
}

bool make_settings_folder() { return make_private_folders_of(settings_file()); }

std::string screenshot_folder() { return text_of(path_of(score_file).parent_path() / "screenshots"); }

std::string make_screenshot_folder() {
    if (!make_hi_score_folder()) return {};
    const std::string screenshots = screenshot_folder();
    return make_folder(screenshots, false) ? screenshots : std::string{};
}
