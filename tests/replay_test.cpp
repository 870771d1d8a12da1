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

// Every sample played, one line each.
std::vector<std::string> sound_lines(const headless_result& r) {
    std::vector<std::string> lines;
    for (const sound_play& p : r.sounds)
        lines.push_back("sound " + std::to_string(p.ms) + " " + p.sample + " " + std::to_string(p.channel) + " " +
                        std::to_string(p.volume));
    return lines;
}

// The best score as the game left it on disk, line ends shown.
std::string best_file_line(const headless_result& r) {
    std::ifstream score(r.best_file, std::ios::binary);
    std::string saved = "hiscore.txt ";
    for (const char c : std::string{std::istreambuf_iterator<char>(score), {}})
        saved += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    return saved;
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
    for (const std::string& line : sound_lines(r)) lines.push_back(line);
    lines.push_back(best_file_line(r));
    return lines;
}

// Every value of a state or trace line but the picture's, as words.
std::string values_but_picture(const std::map<std::string, std::string>& line) {
    std::string text;
    for (const auto& [key, value] : line)
        if (key != "picture") text += " " + key + "=" + value;
    return text;
}

// What a run did, whether it drew or not: the final state, every value of
// every frame of play but its picture, every sample and the best file.
std::vector<std::string> outcome_but_pictures(const headless_result& r) {
    std::vector<std::string> lines;
    lines.push_back("state" + values_but_picture(r.state));
    for (const auto& f : r.trace) lines.push_back("frame" + values_but_picture(f));
    for (const std::string& line : sound_lines(r)) lines.push_back(line);
    lines.push_back(best_file_line(r));
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

// Fails at the first line where actual differs from expected, naming it.
void expect_same_lines(const std::vector<std::string>& actual, const std::vector<std::string>& expected,
                       const std::string& what) {
    for (std::size_t i = 0; i < std::min(actual.size(), expected.size()); ++i)
        if (actual[i] != expected[i]) FAIL() << what << " " << first_difference(actual[i], expected[i], i + 1);
    EXPECT_EQ(actual.size(), expected.size()) << what;
}

std::string recorded_script(const std::string& name) {
    std::ifstream script_file(replays / (name + ".script"));
    return {std::istreambuf_iterator<char>(script_file), {}};
}

std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

class Replay : public ::testing::TestWithParam<std::string> {};

TEST_P(Replay, EverythingHappensAsRecorded) {
    const std::string script = recorded_script(GetParam());
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
    expect_same_lines(actual, expected, expected_path.filename().string());
}

INSTANTIATE_TEST_SUITE_P(Recorded, Replay, ::testing::ValuesIn(recorded_games()), test_name);

// The game run without drawing is the same game: every value of every frame,
// every sample, the final state and the saved best, with nothing drawn.
class ReplayWithoutDrawing : public ::testing::TestWithParam<std::string> {};

TEST_P(ReplayWithoutDrawing, EverythingButThePicturesHappensAsWhenDrawing) {
    const std::string script = recorded_script(GetParam());
    ASSERT_FALSE(script.empty());
    const headless_result drawn = run_headless(script, {});
    const headless_result undrawn = run_headless(script, {"--no-draw"});
    ASSERT_EQ(drawn.exit_code, 0) << folder_file(drawn, "stderr.txt");
    ASSERT_EQ(undrawn.exit_code, 0) << folder_file(undrawn, "stderr.txt");
    ASSERT_FALSE(drawn.trace.empty());
    for (const auto& frame : undrawn.trace) ASSERT_EQ(frame.at("picture"), "none") << values_but_picture(frame);
    expect_same_lines(outcome_but_pictures(undrawn), outcome_but_pictures(drawn), "without drawing:");
}

INSTANTIATE_TEST_SUITE_P(RecordedGames, ReplayWithoutDrawing, ::testing::ValuesIn(recorded_games()), test_name);

// The line of korvane-headless --verify that begins with "verify:", as key=value words.
std::map<std::string, std::string> verify_line(const headless_result& r) {
    std::istringstream out(folder_file(r, "stdout.txt"));
    for (std::string line; std::getline(out, line);)
        if (line.starts_with("verify: ")) return line_values(line);
    return {};
}

// A recording someone sent checks out to what it came to when it was
// recorded: its games, frames of play, score, best, longest chain and time.
class Verify : public ::testing::TestWithParam<std::string> {};

TEST_P(Verify, ARecordingVerifiesToWhatItWasRecordedToComeTo) {
    std::ifstream in(replays / (GetParam() + ".expected"));
    std::map<std::string, std::string> recorded;
    long long frames_of_play = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("state ")) recorded = line_values(line);
        frames_of_play += line.starts_with("frame ");
    }
    ASSERT_FALSE(recorded.empty()) << GetParam() << ".expected has no state line";
    const headless_result r = verify_headless(recorded_script(GetParam()), {});
    ASSERT_EQ(r.exit_code, 0) << folder_file(r, "stderr.txt");
    const auto verified = verify_line(r);
    ASSERT_FALSE(verified.empty()) << folder_file(r, "stdout.txt");
    EXPECT_EQ(verified.at("games"), recorded.at("games"));
    EXPECT_EQ(verified.at("frames"), std::to_string(frames_of_play));
    EXPECT_EQ(verified.at("score"), recorded.at("score"));
    EXPECT_EQ(verified.at("best"), recorded.at("hi_score"));
    EXPECT_EQ(verified.at("max_chain"), recorded.at("max_chain"));
    EXPECT_EQ(verified.at("virtual_ms"), recorded.at("virtual_ms"));
    // --state says the same at the end.
    for (const char* key : {"virtual_ms", "games", "score", "hi_score", "max_chain"})
        EXPECT_EQ(r.state.at(key), recorded.at(key)) << key;
}

INSTANTIATE_TEST_SUITE_P(RecordedGames, Verify, ::testing::ValuesIn(recorded_games()), test_name);

TEST(Verify, WhatCannotBeReplayedOrDrawnIsRefused) {
    const headless_result bad = verify_headless("0 move 1 1\n5 dance\n", {});
    EXPECT_EQ(bad.exit_code, 2);
    EXPECT_NE(folder_file(bad, "stderr.txt").find("line 2: unknown event 'dance'"), std::string::npos)
        << folder_file(bad, "stderr.txt");
    EXPECT_TRUE(verify_line(bad).empty()) << "no outcome for a recording that was not replayed";
    EXPECT_TRUE(bad.state.empty());
    const std::string script = recorded_script("window-taps-focus-close");
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"--shot", "100:a.png"}, std::vector<std::string>{"--pictures", "pictures.txt"},
          std::vector<std::string>{"--input", "input.txt"}}) {
        const headless_result refused = verify_headless(script, words);
        EXPECT_EQ(refused.exit_code, 2) << words[0];
        EXPECT_NE(folder_file(refused, "stderr.txt").find("--verify"), std::string::npos) << words[0];
        EXPECT_TRUE(refused.state.empty()) << words[0];
    }
}

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
