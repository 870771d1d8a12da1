// The real korvane in a real window: a virtual X server with a window
// manager, driven by xdotool as a player would (instant clicks and key taps),
// checked by what the X server shows against korvane-headless's pictures of
// the same screens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "../headless_run.h"
#include "picture.h"
#include "x_session.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr auto patience = 30s;  // a busy machine is slow, a broken game never gets there

// A scratch folder that holds the game's files, so its best score and screenshots land there.
fs::path game_folder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("korvane_window_" + std::to_string(getpid()) + "_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::create_directory_symlink(fs::path(KORVANE_GAME_DIR) / "graphics", folder / "graphics");
    fs::create_directory_symlink(fs::path(KORVANE_GAME_DIR) / "WAV", folder / "WAV");
    return folder;
}

// What korvane-headless shows at the given moments of the scripted input.
std::vector<picture> headless_shots(const std::string& script, const std::vector<int>& moments) {
    const fs::path folder = game_folder("reference");
    std::ofstream(folder / "input.txt") << script;
    std::string command =
        "cd '" + folder.string() + "' && '" KORVANE_GAME_DIR "/korvane-headless' nosound --input input.txt";
    for (const int ms : moments) command += " --shot " + std::to_string(ms) + ":" + std::to_string(ms) + ".png";
    command += " --end " + std::to_string(moments.back() + 1) + " >/dev/null 2>&1";
    std::vector<picture> shots;
    if (std::system(command.c_str()) == 0)
        for (const int ms : moments) shots.push_back(read_png((folder / (std::to_string(ms) + ".png")).string()));
    fs::remove_all(folder);
    return shots;
}

// The colour a palette entry of the game's art has.
colour palette_colour(int index) {
    std::ifstream in(KORVANE_SOURCE_DIR "/art/palette.txt");
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        int i = -1, r = 0, g = 0, b = 0;
        if (words >> i >> r >> g >> b && i == index)
            return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
    }
    return {};
}

// The screens a game passes through, as korvane-headless shows them with
// the pointer at (320, 96): each screen's own pixels, told apart from the one before.
struct screens {
    std::vector<picture> title;
    signature opening, instructions, play, dialog;

    screens() {
        const std::string point = "0 move 320 96\n";
        title = headless_shots(point, {100, 1100, 2100});
        const std::string click = point + "0 press left\n0 release left\n";
        const std::string skip_opening = click + "1000 keydown esc\n1000 keyup esc\n";
        const std::string skip_instructions = skip_opening + "2000 keydown esc\n2000 keyup esc\n";
        const auto opening_shots = headless_shots(click, {300, 600, 900});
        const auto instruction_shots = headless_shots(skip_opening, {1300, 1600, 1900});
        const auto play_shots = headless_shots(skip_instructions, {2300, 2600, 2900, 3200, 3500, 3800});
        // Paused at several moments, the frozen fields differ and only the dialog is common.
        std::vector<picture> dialog_shots;
        for (const int ms : {4000, 4520, 5080}) {
            const std::string pause_at = std::to_string(ms) + " keydown esc\n" + std::to_string(ms) + " keyup esc\n";
            for (picture& p : headless_shots(skip_instructions + pause_at, {ms + 300})) dialog_shots.push_back(p);
        }
        if (title.size() != 3 || opening_shots.size() != 3 || instruction_shots.size() != 3 || play_shots.size() != 6 ||
            dialog_shots.size() != 3)
            return;
        opening = common_pixels(opening_shots, title);
        instructions = common_pixels(instruction_shots, opening_shots);
        play = common_pixels(play_shots, instruction_shots);
        dialog = common_pixels(dialog_shots, play_shots);
    }
    bool complete() const {
        return !title.empty() && !opening.offsets.empty() && !instructions.offsets.empty() && !play.offsets.empty() &&
               !dialog.offsets.empty();
    }
};

class RealWindow : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = game_folder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        prepare_folder();
        std::vector<std::string> command = game_program();
        for (const std::string& word : game_arguments()) command.push_back(word);
        game_ = child_process(command, game_environment(), folder_.string(), (folder_ / "output.txt").string());
        window_ = x_.find_window(window_title(), patience);
        ASSERT_FALSE(window_.empty()) << "the game opened no window";
        x_.xdotool({"windowactivate", "--sync", window_});
        point_at(320, 96);
    }
    void TearDown() override { fs::remove_all(folder_); }
    // The program and the words for its command line, and the title its window gets.
    virtual std::vector<std::string> game_program() const { return {KORVANE_GAME_DIR "/korvane"}; }
    virtual std::vector<std::string> game_arguments() const { return {}; }
    virtual std::string window_title() const { return "korvane"; }
    // What the game folder holds before the game starts, besides the game's files.
    virtual void prepare_folder() const {}

    std::vector<std::string> game_environment() const {
        // Settings of its own, so that what one test changes (the window's
        // size, the volume) never reaches another, nor the player's.
        std::vector<std::string> environment{"DISPLAY=" + x_.display(), "SDL_AUDIODRIVER=dummy", "WINEDEBUG=-all",
                                             "XDG_CONFIG_HOME=" + (folder_ / "config").string()};
#ifdef KORVANE_LSAN_SUPPRESSIONS
        environment.push_back("LSAN_OPTIONS=suppressions=" KORVANE_LSAN_SUPPRESSIONS);
#endif
#ifdef KORVANE_GL_DRIVER
        // SDL unloads the GL driver when it closes the window, and with it
        // the names LeakSanitizer needs to tell the driver's memory (still
        // referenced from the driver) from a leak: loaded first, it stays.
        environment.push_back("LD_PRELOAD=" KORVANE_GL_DRIVER);
        const char* asan_options = std::getenv("ASAN_OPTIONS");
        environment.push_back("ASAN_OPTIONS=" + std::string(asan_options != nullptr ? asan_options : "") +
                              ":verify_asan_link_order=0");
#endif
        return environment;
    }
    // The game's own output, for a failure message.
    std::string game_output() const {
        std::ifstream in(folder_ / "output.txt");
        return {std::istreambuf_iterator<char>(in), {}};
    }

    // What the window shows. SDL may replace the window it first opened by
    // another of the same name (to suit its renderer): look it up again then.
    picture shown() {
        picture p = x_.capture(window_);
        if (p.empty()) {
            window_ = x_.find_window(window_title(), patience);
            p = x_.capture(window_);
        }
        return p;
    }
    ::testing::AssertionResult shows_title() {
        picture last;
        const auto& title = expected().title;
        if (eventually([&] { return std::find(title.begin(), title.end(), last = shown()) != title.end(); }, patience))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the window shows a " << last.width << "x" << last.height
                                             << " picture that is not the title; see " << keep_for_a_person(last);
    }
    // Whether the window comes to show the screen; says how near it came if not.
    ::testing::AssertionResult shows(const signature& screen) {
        double share = 0;
        picture last;
        if (eventually([&] { return (share = matching_share(last = shown(), screen)) > 0.97; }, patience))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "only " << share * 100 << "% of the screen's own " << screen.offsets.size()
               << " pixels are on show; see " << keep_for_a_person(last);
    }
    // Saves a picture beside the test program; its path.
    static std::string keep_for_a_person(const picture& p, const std::string& which = "") {
        const std::string path =
            fs::absolute(std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + which + ".ppm");
        write_ppm(p, path);
        return path;
    }
    void point_at(int x, int y) const {
        x_.xdotool({"mousemove", "--window", window_, std::to_string(x), std::to_string(y)});
    }
    void tap(const std::string& key) const { x_.xdotool({"key", key}); }
    // Answers the pause dialog with N and waits for play to go on. A window
    // that has just got the focus back may not have taken it in yet (Wine
    // takes a moment on a busy machine), so an answer it missed is given again.
    ::testing::AssertionResult play_on() {
        for (int attempt = 0; attempt < 10; ++attempt) {
            tap("n");
            if (eventually([&] { return matching_share(shown(), expected().dialog) < 0.5; }, 3s))
                return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "N did not close the pause dialog; see " << keep_for_a_person(shown());
    }
    void click() const { x_.xdotool({"click", "1"}); }
    void hold_button(std::chrono::milliseconds how_long) const {
        x_.xdotool({"mousedown", "1"});
        std::this_thread::sleep_for(how_long);
        x_.xdotool({"mouseup", "1"});
    }
    // Activates another window, then the game's again.
    void switch_away_and_back() {
        child_process other({"xmessage", "-name", "elsewhere", "-title", "elsewhere", "elsewhere"},
                            {"DISPLAY=" + x_.display()});
        const std::string elsewhere = x_.find_window("elsewhere", patience);
        ASSERT_FALSE(elsewhere.empty());
        x_.xdotool({"windowactivate", "--sync", elsewhere});
        ASSERT_TRUE(shows(expected().dialog)) << "the game played on without the player";
        x_.xdotool({"windowactivate", "--sync", window_});
    }
    // From the title into play, with instant input only.
    void start_playing() {
        ASSERT_TRUE(shows_title());
        click();
        ASSERT_TRUE(shows(expected().opening)) << "an instant click started no game";
        tap("Escape");
        ASSERT_TRUE(shows(expected().instructions)) << "Escape did not skip the opening";
        tap("Escape");
        ASSERT_TRUE(shows(expected().play)) << "Escape did not skip the instructions";
    }

    // Made once, when a test first needs them.
    static const screens& expected() {
        static const screens made;
        return made;
    }
    x_session x_{1920, 1200};
    fs::path folder_;
    child_process game_;
    std::string window_;
};

TEST_F(RealWindow, InstantClicksAndTapsPlayAGameAndTheCloseButtonLeaves) {
    ASSERT_TRUE(expected().complete()) << "korvane-headless made no reference pictures";
    start_playing();

    // The beam flies from the bottom centre up to the cursor in colour 15.
    const area beam_path{256, 200, 128, 220};
    const colour beam = palette_colour(15);
    // A click that reaches the game within the frame play began in cannot
    // fire (a shot wants a fresh press): on a busy machine another is given.
    const picture before = shown();
    picture last;
    bool fired = false;
    for (int attempt = 0; attempt < 5 && !fired; ++attempt) {
        click();
        fired = eventually(
            [&] { return count_colour(last = shown(), beam_path, beam) >= count_colour(before, beam_path, beam) + 64; },
            3s);
    }
    EXPECT_TRUE(fired) << "instant clicks in play fired no shot; before: " << keep_for_a_person(before, "before")
                       << ", last: " << keep_for_a_person(last, "after");

    tap("Escape");
    EXPECT_TRUE(shows(expected().dialog)) << "an instant Escape opened no pause dialog";
    tap("y");
    EXPECT_TRUE(shows_title()) << "Y did not end the game";
    tap("alt+F4");  // the window manager's close, as the close button sends it
    EXPECT_EQ(game_.wait_for_exit(patience), 0) << game_output();
}

TEST_F(RealWindow, EscapeOnTheTitleEndsTheProgramCleanly) {
    ASSERT_TRUE(shows_title());
    tap("Escape");
    EXPECT_EQ(game_.wait_for_exit(patience), 0) << game_output();
}

TEST_F(RealWindow, SwitchingToAnotherWindowPausesPlay) {
    ASSERT_TRUE(expected().complete());
    start_playing();
    switch_away_and_back();
}

class RecordingWindow : public RealWindow {
protected:
    std::vector<std::string> game_arguments() const override { return {"--record", "game.script"}; }
    // Plays, records, and replays headless; saved_best: where the game keeps its best.
    void play_and_replay_headless(const fs::path& saved_best);
};

// The time of the last event of the kind in a recording, or -1.
long long last_time_of(const std::string& script, const std::string& event) {
    std::istringstream in(script);
    long long found = -1;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        long long ms = 0;
        std::string rest;
        if (words >> ms && std::getline(words >> std::ws, rest) && rest == event) found = ms;
    }
    return found;
}

// A short game played in the window with instant and held input, pauses by
// Escape, by switching windows and by the close button, and the close button
// on the title, recorded; replayed headless, it shows what the window showed
// at the end of the game and after it.
void RecordingWindow::play_and_replay_headless(const fs::path& saved_best) {
    ASSERT_TRUE(expected().complete());
    start_playing();
    for (int i = 0; i < 12; ++i) {
        point_at(160 + 40 * (i % 8), 120 + 30 * (i % 5));
        i % 3 == 0 ? hold_button(250ms) : click();
        std::this_thread::sleep_for(120ms);
    }
    tap("Escape");
    ASSERT_TRUE(shows(expected().dialog));
    ASSERT_TRUE(play_on());
    switch_away_and_back();
    ASSERT_TRUE(play_on());
    tap("alt+F4");  // the window manager's close, as the close button sends it
    ASSERT_TRUE(shows(expected().dialog));
    ASSERT_TRUE(play_on());
    for (int i = 0; i < 6; ++i) {
        point_at(200 + 48 * i, 200);
        click();
        std::this_thread::sleep_for(150ms);
    }
    // The volume keys are the window's: the game never sees them.
    for (const char* key : {"m", "minus", "equal", "plus", "m", "KP_Subtract"}) tap(key);
    tap("Escape");
    ASSERT_TRUE(shows(expected().dialog));
    std::this_thread::sleep_for(1500ms);  // the volume's note is gone; what the window shows stays until the answer
    const picture dialog = shown();
    tap("y");
    ASSERT_TRUE(shows_title());
    std::this_thread::sleep_for(1200ms);  // long enough for the prompt to blink
    const picture title = shown();
    tap("alt+F4");
    ASSERT_EQ(game_.wait_for_exit(patience), 0) << game_output();

    std::ifstream in(folder_ / "game.script");
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(script.rfind("# korvane ", 0), 0u) << "the recording has no header";
    for (const char* word : {" m\n", " minus\n", " equals\n", "type 6d", "type 2d", "type 3d", "type 2b"})
        EXPECT_EQ(script.find(word), std::string::npos) << "a volume key reached the game: " << word;
    if (const char* keep = std::getenv("KORVANE_KEEP_WINDOW_RECORDING"))
        fs::copy_file(folder_ / "game.script", keep, fs::copy_options::overwrite_existing);
    const long long answered = last_time_of(script, "hold y"), left = last_time_of(script, "close");
    ASSERT_GT(answered, 0) << script;
    ASSERT_GT(left, answered + 1000) << script;
    // The title blinks its prompt every 900 ms: both of its pictures.
    const std::string replay = "cd '" + folder_.string() +
                               "' && '" KORVANE_GAME_DIR
                               "/korvane-headless' nosound --input game.script --state state.json"
                               " --shot " +
                               std::to_string(answered - 1) + ":dialog.png --shot " + std::to_string(left - 1) +
                               ":title1.png --shot " + std::to_string(left - 901) + ":title2.png >headless.txt 2>&1";
    ASSERT_EQ(std::system(replay.c_str()), 0) << replay;
    EXPECT_TRUE(read_png((folder_ / "dialog.png").string()) == dialog)
        << "the replay's pause differs from the window's: " << keep_for_a_person(dialog, "window");
    EXPECT_TRUE(read_png((folder_ / "title1.png").string()) == title ||
                read_png((folder_ / "title2.png").string()) == title)
        << "the replay's title after the game differs: " << keep_for_a_person(title, "window");
    // The same best score, left as it was on disk.
    std::ifstream state_file(folder_ / "state.json"), saved_file(saved_best);
    const std::string state{std::istreambuf_iterator<char>(state_file), {}};
    std::string label, saved;
    saved_file >> label >> saved;
    EXPECT_NE(state.find("\"hi_score\":" + saved + ","), std::string::npos)
        << state << " but " << saved_best << " holds " << saved;
    EXPECT_NE(state.find("\"games\":1,"), std::string::npos) << state;
}

TEST_F(RecordingWindow, AGameRecordedInTheWindowReplaysHeadlessAsItWasPlayed) {
    play_and_replay_headless(folder_ / "hiscore.txt");
}

class StoppedWindow : public RecordingWindow {
protected:
    // A best that any game beats, even one that scored nothing.
    void prepare_folder() const override { std::ofstream(folder_ / "hiscore.txt") << "hi-score\r\n-5\r\n"; }
    // Played calm, as a player sensitive to flashing would.
    std::vector<std::string> game_arguments() const override { return {"--record", "game.script", "--calm"}; }
};

// A logout, Ctrl+C or a kill ends the game as a quit from the pause dialog
// would: the beaten best is saved and the recording replays to the end, calm
// as it was played.
TEST_F(StoppedWindow, ASignalInPlayEndsTheGameAsAQuitWould) {
    ASSERT_TRUE(expected().complete());
    // The title shows this game's own best: a click is given until the opening shows.
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
        click();
        opened = eventually([&] { return matching_share(shown(), expected().opening) > 0.97; }, 3s);
    }
    ASSERT_TRUE(opened) << "no click started a game; see " << keep_for_a_person(shown());
    tap("Escape");
    ASSERT_TRUE(shows(expected().instructions));
    tap("Escape");
    ASSERT_TRUE(shows(expected().play));
    point_at(400, 200);
    std::this_thread::sleep_for(500ms);
    ASSERT_EQ(kill(game_.pid(), SIGTERM), 0);
    EXPECT_EQ(game_.wait_for_exit(patience), 128 + SIGTERM) << game_output();
    std::ifstream saved(folder_ / "hiscore.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), "hi-score\r\n 0\r\n");
    const std::string replay = "cd '" + folder_.string() +
                               "' && '" KORVANE_GAME_DIR
                               "/korvane-headless' nosound --input game.script --state state.json >headless.txt 2>&1";
    ASSERT_EQ(std::system(replay.c_str()), 0) << replay;
    std::ifstream state_file(folder_ / "state.json");
    const std::string state{std::istreambuf_iterator<char>(state_file), {}};
    EXPECT_NE(state.find("\"games\":1,"), std::string::npos) << state;
    EXPECT_NE(state.find("\"player_x\":400,"), std::string::npos) << "the last move is in the recording: " << state;
    EXPECT_NE(state.find("\"calm\":-1,"), std::string::npos) << state;
    std::ifstream recording(folder_ / "game.script");
    const std::string script{std::istreambuf_iterator<char>(recording), {}};
    EXPECT_NE(script.find("\n0 calm\n"), std::string::npos) << script;
}

TEST_F(RealWindow, ThePictureFollowsTheWindowsSizeAndKeepsItsShape) {
    ASSERT_TRUE(expected().complete());
    ASSERT_TRUE(shows_title());
    x_.xdotool({"windowsize", "--sync", window_, "1280", "960"});
    EXPECT_TRUE(eventually(
        [&] {
            const picture p = shown();
            return std::any_of(expected().title.begin(), expected().title.end(),
                               [&](const picture& t) { return is_enlarged(p, t, 2); });
        },
        patience))
        << "at 1280x960 the picture is not the title at exactly twice its size";

    // 1000x700: a 933x700 picture between black bars of 33 and 34 columns.
    x_.xdotool({"windowsize", "--sync", window_, "1000", "700"});
    const colour black{0, 0, 0};
    EXPECT_TRUE(eventually(
        [&] {
            const picture p = shown();
            if (p.width != 1000 || p.height != 700) return false;
            if (!filled_with(p, {0, 0, 33, 700}, black) || !filled_with(p, {966, 0, 34, 700}, black)) return false;
            return std::any_of(expected().title.begin(), expected().title.end(), [&](const picture& t) {
                return block_centre_share(p, {33, 0, 933, 700}, t) > 0.99;
            });
        },
        patience))
        << "at 1000x700 the picture lost its shape or its bars";
}

// M and the volume keys show a note over the picture for a second, never in
// a screenshot, and what they set is kept for the next game.
TEST_F(RealWindow, TheVolumeKeysShowANoteForASecondAndTheirSettingStays) {
    ASSERT_TRUE(shows_title());
    const colour note_frame{0x80, 0x88, 0xa0}, note_inside{0x10, 0x10, 0x18};
    const auto note_on_show = [&](const picture& p) {
        return p.width >= 160 && p.at(8, 8) == note_frame && p.at(9, 9) == note_inside;
    };
    tap("m");
    picture with_note;
    EXPECT_TRUE(eventually([&] { return note_on_show(with_note = shown()); }, patience))
        << "no note of the volume: " << keep_for_a_person(with_note);
    tap("F12");
    tap("minus");
    tap("minus");
    const fs::path settings = folder_ / "config" / "korvane" / "settings.ini";
    std::string kept;
    EXPECT_TRUE(eventually(
        [&] {
            std::ifstream in(settings);
            kept.assign(std::istreambuf_iterator<char>(in), {});
            return kept.find("volume = 80\n") != std::string::npos && kept.find("mute = off\n") != std::string::npos;
        },
        patience))
        << "the settings file holds: " << kept;
    EXPECT_TRUE(shows_title()) << "the note stayed";
    std::vector<fs::path> shots;
    EXPECT_TRUE(eventually(
        [&] {
            shots.clear();
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(folder_ / "screenshots", ec)) shots.push_back(entry.path());
            return shots.size() == 1;
        },
        patience));
    if (!shots.empty()) {
        EXPECT_FALSE(note_on_show(read_png(shots[0].string()))) << "the note is in the screenshot";
    }
}

TEST_F(RealWindow, F12SavesThePictureOnShow) {
    ASSERT_TRUE(shows_title());
    const picture before = shown();
    tap("F12");
    tap("F12");
    const fs::path shots = folder_ / "screenshots";
    std::vector<fs::path> files;
    EXPECT_TRUE(eventually(
        [&] {
            files.clear();
            std::error_code ec;
            for (const auto& entry : fs::directory_iterator(shots, ec)) files.push_back(entry.path());
            return files.size() == 2;
        },
        patience))
        << "two taps of F12 made " << files.size() << " files";
    const picture after = shown();
    const std::regex name(R"(korvane-\d{8}-\d{6}(-2)?\.png)");
    for (const fs::path& file : files) {
        EXPECT_TRUE(std::regex_match(file.filename().string(), name)) << file;
        const picture saved = read_png(file.string());
        EXPECT_TRUE(saved == before || saved == after) << file << " is not the picture on screen";
    }
}

class ReplayWindow : public RealWindow {
protected:
    std::vector<std::string> game_arguments() const override {
        // Made by korvane-headless, whose scripts start with the pointer at the
        // top left and the focus: its first click, at 0 ms, starts the game.
        return {"--replay", KORVANE_SOURCE_DIR "/tests/replays/autoplay-to-stage-5.script"};
    }
    std::string window_title() const override { return "korvane (replay)"; }
};

// A replay plays the recorded game in a window titled as one; the watcher's
// own Escape taps do not pause it, and Escape held for a second ends it.
TEST_F(ReplayWindow, PlaysTheRecordingWhateverTheWatcherTapsUntilEscapeIsHeld) {
    ASSERT_TRUE(expected().complete());
    // Its play begins 22 s in; a replay that lost the first click would begin it 22 s later.
    ASSERT_TRUE(shows(expected().play)) << "the recorded game did not come to play in time";
    click();
    tap("Escape");
    tap("Escape");
    const auto until = std::chrono::steady_clock::now() + 2s;
    while (std::chrono::steady_clock::now() < until)
        ASSERT_LT(matching_share(shown(), expected().dialog), 0.97) << "the watcher's Escape paused the replay";
    x_.xdotool({"keydown", "Escape"});
    std::this_thread::sleep_for(1500ms);
    x_.xdotool({"keyup", "Escape"});
    EXPECT_EQ(game_.wait_for_exit(patience), 0) << game_output();
}

class SeekingReplayWindow : public ReplayWindow {
protected:
    std::vector<std::string> game_arguments() const override { return {"--replay", recording}; }
    static constexpr const char* recording =
        KORVANE_SOURCE_DIR "/tests/replays/autoplay-two-bonus-stages-to-stage-6.script";

    // The moment the replay says it shows after the watcher's n-th control
    // ("replay: at 45080 ms, paused"), once it has said it.
    std::optional<std::uint64_t> position_told(std::size_t n) const {
        std::optional<std::uint64_t> told;
        eventually(
            [&] {
                const std::string output = game_output();
                static const std::regex line(R"(replay: at (\d+) ms)");
                std::size_t seen = 0;
                for (auto it = std::sregex_iterator(output.begin(), output.end(), line); it != std::sregex_iterator();
                     ++it)
                    if (++seen == n) told = std::stoull((*it)[1]);
                return told.has_value();
            },
            patience);
        return told;
    }
};

// Paused, jumped forward and back, sped up and sent to a game's start, the
// window shows at each stop exactly what korvane-headless shows at that
// moment of the recording (once the controls' strip has gone).
TEST_F(SeekingReplayWindow, AtEachStopItShowsWhatTheRecordingShowsThen) {
    ASSERT_TRUE(expected().complete());
    ASSERT_TRUE(shows(expected().play)) << "the recorded game did not come to play in time";
    std::ifstream in(recording);
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    std::vector<std::uint64_t> stops;
    std::size_t told = 0;
    // Each control tells where the replay is.
    const auto press = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys) {
            tap(key);
            ++told;
        }
        return position_told(told);
    };
    // Paused, the picture stays; once the strip has gone it is the recording's.
    const auto stop_after = [&](std::initializer_list<const char*> keys) {
        const std::optional<std::uint64_t> at = press(keys);
        ASSERT_TRUE(at.has_value()) << "no position told after control " << told << ": " << game_output();
        stops.push_back(*at);
        const std::vector<picture> then = headless_shots(script, {static_cast<int>(*at)});
        ASSERT_EQ(then.size(), 1u);
        picture last;
        EXPECT_TRUE(eventually([&] { return (last = shown()) == then[0]; }, patience))
            << "the stop at " << *at << " ms shows another picture; see "
            << keep_for_a_person(last, std::to_string(stops.size()));
    };
    stop_after({"space"});
    stop_after({"Right"});
    EXPECT_GT(stops[1] + 80, stops[0] + 10'000) << "Right went to " << stops[1] << " from " << stops[0];
    EXPECT_LE(stops[1], stops[0] + 10'000);
    stop_after({"Left", "Left"});
    const std::optional<std::uint64_t> on_from = press({"Up", "Up", "Up", "space"});  // 8x, and on
    ASSERT_TRUE(on_from.has_value());
    std::this_thread::sleep_for(2s);
    stop_after({"space"});
    EXPECT_GT(stops[3], *on_from + 4000) << "8x played too slowly";
    stop_after({"Prior"});  // back to the game's first frame
    stop_after({"Home"});
    EXPECT_EQ(stops.back(), 0u);
}

#ifdef KORVANE_WINDOWS_GAME_DIR
// The Windows build's korvane.exe under Wine, in the same X server, played
// as a Windows player would.
// korvane.exe under Wine with the test's folder as its APPDATA.
std::vector<std::string> windows_game(const fs::path& folder) {
    return {"env",
            "WINEPREFIX=" + windowed_wine_prefix(),
            "wine",
            with_appdata_program(),
            windows_path((folder / "data").string()),
            windows_path(KORVANE_WINDOWS_GAME_DIR "/korvane.exe")};
}

class WindowsGameUnderWine : public RealWindow {
protected:
    std::vector<std::string> game_program() const override { return windows_game(folder_); }
};

TEST_F(WindowsGameUnderWine, PlaysFromTheTitleToTheDialogAndBackAndLeavesWithEscape) {
    ASSERT_TRUE(expected().complete()) << "korvane-headless made no reference pictures";
    start_playing();
    tap("Escape");
    ASSERT_TRUE(shows(expected().dialog)) << "Escape opened no pause dialog";
    tap("y");
    ASSERT_TRUE(shows_title()) << "Y did not end the game";
    tap("Escape");
    EXPECT_EQ(game_.wait_for_exit(patience), 0) << game_output();
}

class WindowsRecordingUnderWine : public RecordingWindow {
protected:
    std::vector<std::string> game_program() const override { return windows_game(folder_); }
};

// A game played and recorded in the Windows window replays on this machine as it was played.
TEST_F(WindowsRecordingUnderWine, AGameRecordedUnderWineReplaysHeadlessHereAsItWasPlayed) {
    play_and_replay_headless(folder_ / "data" / "korvane" / "hiscore.txt");
}
#endif

}  // namespace
