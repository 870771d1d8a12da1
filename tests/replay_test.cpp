// Recorded games replayed by korvane-headless, frame for frame: every frame
// of play's values, every picture a player sees on every screen, every sample
// played and the final state must match what was recorded. See
// tests/replays/README.md for recording them again on purpose.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "headless_run.h"

namespace fs = std::filesystem;

namespace {

const fs::path replays = KORVANE_SOURCE_DIR "/tests/replays";

std::vector<std::string> recorded_games() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(replays))
        if (entry.path().extension() == ".script") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string values(const std::map<std::string, std::string>& line, std::initializer_list<const char*> keys) {
    std::string text;
    for (const char* key : keys) text += std::string(" ") + key + "=" + line.at(key);
    return text;
}

// What the replay showed and did, one line each, in the order of the recording.
std::vector<std::string> outcome(const headless_result& r) {
    std::vector<std::string> lines;
    lines.push_back("state" + values(r.state, {"virtual_ms", "games", "frames", "score", "hi_score", "energy", "stage",
                                               "bonus_stage", "max_chain", "defeated"}));
    for (const auto& f : r.trace)
        lines.push_back("frame" + values(f, {"game", "frame", "virtual_ms", "score", "energy", "stage", "bonus_stage",
                                             "chain", "max_chain", "squid_count", "kills_left", "defeated", "player_x",
                                             "player_y", "picture"}));
    std::ifstream pictures(fs::path(r.folder) / "pictures.txt");
    for (std::string line; std::getline(pictures, line);) lines.push_back("picture " + line);
    for (const sound_play& p : r.sounds)
        lines.push_back("sound " + std::to_string(p.ms) + " " + p.sample + " " + std::to_string(p.channel) + " " +
                        std::to_string(p.volume));
    // The best score as the game left it on disk, line ends shown.
    std::ifstream score(r.best_file, std::ios::binary);
    std::string saved = "hiscore.txt ";
    for (const char c : std::string{std::istreambuf_iterator<char>(score), {}})
        saved += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    lines.push_back(saved);
    return lines;
}

// "key=value" words of an outcome line.
std::map<std::string, std::string> line_values(const std::string& line) {
    std::map<std::string, std::string> values;
    std::istringstream words(line);
    for (std::string word; words >> word;)
        if (const auto equals = word.find('='); equals != std::string::npos)
            values[word.substr(0, equals)] = word.substr(equals + 1);
    return values;
}

// Where a replay first went another way than its recording: the frame and
// the values that differ, or the whole lines for other kinds of line.
std::string first_difference(const std::string& actual, const std::string& expected, std::size_t line_number) {
    std::string message = "line " + std::to_string(line_number) + ": ";
    if (!actual.starts_with("frame ") || !expected.starts_with("frame "))
        return message + "replayed '" + actual + "', recorded '" + expected + "'";
    const auto now = line_values(actual), then = line_values(expected);
    message += "frame " + then.at("frame") + " of game " + then.at("game") + " differs:";
    for (const auto& [key, value] : then)
        if (now.count(key) == 0 || now.at(key) != value)
            message += " " + key + " " + (now.count(key) ? now.at(key) : "missing") + " (recorded " + value + ")";
    return message;
}

class Replay : public ::testing::TestWithParam<std::string> {};

TEST_P(Replay, EverythingHappensAsRecorded) {
    std::ifstream script_file(replays / (GetParam() + ".script"));
    const std::string script{std::istreambuf_iterator<char>(script_file), {}};
    ASSERT_FALSE(script.empty());
    const headless_result r = run_headless(script, {"--pictures", "pictures.txt"});
    ASSERT_EQ(r.exit_code, 0) << folder_file(r, "stderr.txt");
    const std::vector<std::string> actual = outcome(r);

    const fs::path expected_path = replays / (GetParam() + ".expected");
    if (std::getenv("KORVANE_UPDATE_REPLAYS") != nullptr) {
        std::ofstream out(expected_path);
        for (const std::string& line : actual) out << line << "\n";
        GTEST_SKIP() << "recorded " << actual.size() << " lines into " << expected_path;
    }
    std::ifstream in(expected_path);
    std::vector<std::string> expected;
    for (std::string line; std::getline(in, line);) expected.push_back(line);
    ASSERT_FALSE(expected.empty()) << expected_path << " is missing; see tests/replays/README.md";
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        if (actual[i] != expected[i])
            FAIL() << expected_path.filename() << " " << first_difference(actual[i], expected[i], i + 1);
    EXPECT_EQ(actual.size(), expected.size());
}

INSTANTIATE_TEST_SUITE_P(Recorded, Replay, ::testing::ValuesIn(recorded_games()), [](const auto& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
});

// The Windows build's pictures are this machine's, byte for byte: one
// screenshot of each screen of the game that goes through them all.
TEST(WindowsBuild, ScreenshotsAreThisMachinesBytes) {
    std::ifstream script_file(replays / "every-screen.script");
    const std::string script{std::istreambuf_iterator<char>(script_file), {}};
    std::vector<std::string> shots;
    for (const int ms : {500, 3000, 9000, 20000, 40000, 60000, 80000, 100000}) {
        shots.push_back("--shot");
        shots.push_back(std::to_string(ms) + ":" + std::to_string(ms) + ".png");
    }
    const headless_result here = run_headless(script, shots, true, headless_build::native);
    const headless_result windows = run_headless(script, shots, true, headless_build::windows);
    ASSERT_EQ(here.exit_code, 0) << folder_file(here, "stderr.txt");
    ASSERT_EQ(windows.exit_code, 0) << folder_file(windows, "stderr.txt");
    for (std::size_t i = 1; i < shots.size(); i += 2) {
        const std::string name = shots[i].substr(shots[i].find(':') + 1);
        const std::string picture = folder_file(here, name);
        ASSERT_GT(picture.size(), 100u) << name;
        EXPECT_EQ(folder_file(windows, name), picture) << name << " differs";
    }
}

// A Windows player unpacks the game into a folder named in two scripts and
// starts it from elsewhere, with an %APPDATA% just as foreign: the game finds
// its pictures and samples, reads the input file, writes every output and
// keeps the best score, all under names in the same scripts.
TEST(WindowsBuild, ForeignFolderAndFileNamesWorkEndToEnd) {
    const fs::path root = fs::temp_directory_path() / ("korvane_foreign_" + std::to_string(getpid()));
    const std::string foreign = "J\xc3\xb6rg \xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88";  // "Jörg テスト"
    const fs::path game = root / foreign, appdata = root / (foreign + " AppData"), elsewhere = root / "elsewhere";
    fs::remove_all(root);
    fs::create_directories(game);
    fs::create_directories(appdata);
    fs::create_directories(elsewhere);
    const fs::path built = std::getenv("KORVANE_WINDOWS_GAME_DIR");
    fs::copy_file(built / "korvane-headless.exe", game / "korvane-headless.exe");
    fs::copy(built / "graphics", game / "graphics");
    fs::copy(built / "WAV", game / "WAV");
    fs::copy_file(replays / "autoplay-to-stage-5.script", elsewhere / (foreign + ".script"));

    const std::string command =
        "cd '" + elsewhere.string() + "' && " +
        wine_command((game / "korvane-headless.exe").string(), appdata.string(),
                     " --input '" + foreign + ".script' --shot '2000:" + foreign + ".png' --record '" + foreign +
                         " 2.script' --state '" + foreign + ".json' --sounds '" + foreign + ".txt'") +
        " > out.txt 2> err.txt";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const auto file = [](const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string{std::istreambuf_iterator<char>(in), {}};
    };
    EXPECT_EQ(file(elsewhere / "err.txt"), "") << "the game found all its files";
    EXPECT_EQ(file(appdata / "korvane" / "hiscore.txt"), "hi-score\r\n 23680\r\n");
    EXPECT_GT(file(elsewhere / (foreign + ".png")).size(), 1000u);
    EXPECT_NE(file(elsewhere / (foreign + " 2.script")).find("press left"), std::string::npos);
    EXPECT_NE(file(elsewhere / (foreign + ".json")).find("\"score\""), std::string::npos);
    EXPECT_NE(file(elsewhere / (foreign + ".txt")).find("laser"), std::string::npos) << "the samples were found";
    fs::remove_all(root);
}

}  // namespace
