#include "headless_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

std::map<std::string, std::string> parse_json_line(const std::string& line) {
    std::map<std::string, std::string> values;
    std::size_t pos = 0;
    while ((pos = line.find('"', pos)) != std::string::npos) {
        const std::size_t key_end = line.find('"', pos + 1);
        if (key_end == std::string::npos || key_end + 1 >= line.size() || line[key_end + 1] != ':') break;
        const std::string key = line.substr(pos + 1, key_end - pos - 1);
        std::size_t value_start = key_end + 2;
        std::size_t value_end = line.find_first_of(",}", value_start);
        if (line[value_start] == '"') value_end = line.find('"', value_start + 1) + 1;
        std::string value = line.substr(value_start, value_end - value_start);
        if (!value.empty() && value.front() == '"') value = value.substr(1, value.size() - 2);
        values[key] = value;
        pos = value_end;
    }
    return values;
}

long long number(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto it = values.find(key);
    if (it == values.end()) throw std::runtime_error("no value " + key);
    return std::stoll(it->second);
}

std::string folder_file(const headless_result& result, const std::string& name) {
    std::ifstream in(fs::path(result.folder) / name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

headless_build build_under_test() {
    if (std::getenv("KORVANE_WINDOWS_GAME_DIR") != nullptr) return headless_build::windows;
    if (std::getenv("KORVANE_WEB_GAME_DIR") != nullptr) return headless_build::web;
    return headless_build::native;
}

std::string windows_path(const std::string& path) {
    std::string text = "Z:" + fs::absolute(path).string();
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

std::string with_appdata_program() {
    return (fs::path(std::getenv("KORVANE_WINDOWS_GAME_DIR")).parent_path() / "tests" / "with_appdata.exe").string();
}

std::string wine_prefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix != nullptr ? prefix : std::string(std::getenv("HOME")) + "/.wine";
}

std::string windowed_wine_prefix() { return wine_prefix() + "-windowed"; }

std::string wine_command(const std::string& program, const std::string& appdata, const std::string& arguments) {
    // The prefix is named whatever HOME the run is given.
    return "WINEDEBUG=-all WINEPREFIX='" + wine_prefix() + "' exec wine '" + with_appdata_program() + "' '" +
           windows_path(appdata) + "' '" + windows_path(program) + "'" + arguments;
}

namespace {

headless_run start(const std::string& script, const std::vector<std::string>& extra, bool with_game_files,
                   headless_build build, const std::string& script_option = "--input") {
    static int run_number = 0;
    headless_run run;
    const fs::path folder =
        fs::temp_directory_path() / ("korvane_run_" + std::to_string(getpid()) + "_" + std::to_string(++run_number));
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Without its files the program runs from a copy of its own, so that it
    // finds no pictures beside itself either.
    fs::path program = fs::path(KORVANE_GAME_DIR) / "korvane-headless";
    if (with_game_files) {
        fs::create_directory_symlink(fs::path(KORVANE_GAME_DIR) / "graphics", folder / "graphics");
        fs::create_directory_symlink(fs::path(KORVANE_GAME_DIR) / "WAV", folder / "WAV");
    } else {
        fs::copy_file(program, folder / "korvane-headless");
        program = folder / "korvane-headless";
    }
    std::ofstream(folder / "input.txt") << script;
    run.result.folder = folder.string();

    // The player's data folder is the scratch folder's own; the shell gives
    // way to the program, so that a signal reaches the program itself.
    std::string arguments =
        " " + script_option + " input.txt --trace trace.jsonl --state state.json --sounds sounds.txt";
    std::string command =
        "cd '" + folder.string() + "' && HOME='" + folder.string() + "' XDG_DATA_HOME='" + folder.string() + "/data' ";
    if (build == headless_build::windows) {
        for (const std::string& word : extra) arguments += " '" + word + "'";
        const fs::path program = fs::path(std::getenv("KORVANE_WINDOWS_GAME_DIR")) / "korvane-headless.exe";
        command += wine_command(program.string(), (folder / "data").string(), arguments);
        // Windows keeps the best in the player's data folder wherever the game runs.
        run.result.best_file = (folder / "data" / "korvane" / "hiscore.txt").string();
    } else {
        for (const std::string& word : extra) arguments += " '" + word + "'";
        // Debian's node takes the program's .wasm from the file system only without its fetch.
        if (build == headless_build::web)
            program = fs::path(std::getenv("KORVANE_WEB_GAME_DIR")) / "korvane-headless.js";
        command += (build == headless_build::web ? "exec node --no-experimental-fetch '" : "exec '") +
                   program.string() + "'" + arguments;
        run.result.best_file = (folder / (with_game_files ? "hiscore.txt" : "data/korvane/hiscore.txt")).string();
    }
    command += " > stdout.txt 2> stderr.txt";
    run.pid = fork();
    if (run.pid == 0) {
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return run;
}

}  // namespace

headless_run start_headless(const std::string& script, const std::vector<std::string>& extra, bool with_game_files) {
    return start(script, extra, with_game_files, build_under_test());
}

headless_result finish_headless(headless_run& run) {
    headless_result result = std::move(run.result);
    int status = 0;
    if (run.pid > 0 && waitpid(run.pid, &status, 0) == run.pid)
        result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.pid = -1;
    std::ifstream trace(fs::path(result.folder) / "trace.jsonl");
    for (std::string line; std::getline(trace, line);) result.trace.push_back(parse_json_line(line));
    std::ifstream sounds(fs::path(result.folder) / "sounds.txt");
    for (sound_play p; sounds >> p.ms >> p.sample >> p.channel >> p.volume;) result.sounds.push_back(p);
    std::ifstream state(fs::path(result.folder) / "state.json");
    std::string line;
    if (std::getline(state, line)) result.state = parse_json_line(line);
    return result;
}

headless_result run_headless(const std::string& script, const std::vector<std::string>& extra, bool with_game_files,
                             headless_build build) {
    headless_run run = start(script, extra, with_game_files, build);
    return finish_headless(run);
}

headless_result verify_headless(const std::string& script, const std::vector<std::string>& extra) {
    headless_run run = start(script, extra, true, build_under_test(), "--verify");
    return finish_headless(run);
}
