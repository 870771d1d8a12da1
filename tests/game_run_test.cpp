// Whole games played through korvane-headless, checked against an
// independent model of the squids and against hand-worked rules.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "headless_run.h"
#include "squid_model.h"

namespace {

// A left click at 0 ms on the title screen ends its first 30 ms frame; the
// opening (240 frames of 40 ms) and the instructions (266 frames) follow, so
// frame f of play reads its input at 30 + 9600 + 10640 + 40 (f - 1) ms.
constexpr int first_frame_ms = 30 + 240 * 40 + 266 * 40;
int frame_ms(int frame) { return first_frame_ms + 40 * (frame - 1); }
const std::string start_game = "0 press left\n100 release left\n";

std::string at(int ms, const std::string& event) { return std::to_string(ms) + " " + event + "\n"; }

// The cursor position (multiples of 8) whose shot lands on field point (x, y),
// with the scroll that the same cursor position produces.
bool cursor_for(int field_x, int field_y, int& cursor_x, int& cursor_y) {
    bool found_x = false, found_y = false;
    for (int p = 0; p <= 632; p += 8) {
        if (!found_x && p + (((p / 10) >> 3) << 3) == field_x) {
            cursor_x = p;
            found_x = true;
        }
        if (p <= 472 && !found_y && p + (p / 64) * 8 == field_y) {
            cursor_y = p;
            found_y = true;
        }
    }
    return found_x && found_y;
}

const std::map<std::string, std::string>& frame_line(const headless_result& r, int game, int frame) {
    for (const auto& line : r.trace)
        if (number(line, "game") == game && number(line, "frame") == frame) return line;
    throw std::runtime_error("no trace line for frame " + std::to_string(frame));
}

TEST(GameRun, WithoutShootingTheModelPredictsEveryEnergyLossAndTheDefeat) {
    squid_model model;
    std::vector<int> energy_by_frame{100};
    while (!model.defeated) {
        model.step();
        energy_by_frame.push_back(model.energy);
    }
    const int defeat_frame = model.defeat_frame;
    ASSERT_GT(defeat_frame, 600) << "twenty escapes take many frames";

    const headless_result r = run_headless(start_game, {"--end", std::to_string(frame_ms(defeat_frame + 80))});
    ASSERT_EQ(r.exit_code, 0);
    int first_defeated = 0, last_frame_of_game_1 = 0;
    for (const auto& line : r.trace) {
        if (number(line, "game") != 1) continue;
        const int frame = static_cast<int>(number(line, "frame"));
        last_frame_of_game_1 = frame;
        if (number(line, "defeated") != 0 && first_defeated == 0) first_defeated = frame;
        if (frame <= defeat_frame) {
            ASSERT_EQ(number(line, "energy"), energy_by_frame[frame]) << "frame " << frame;
        }
    }
    EXPECT_EQ(first_defeated, defeat_frame);
    EXPECT_EQ(number(frame_line(r, 1, defeat_frame), "defeated"), -1);
    // The collapse runs 50 frames after the one in which the player was defeated.
    EXPECT_EQ(last_frame_of_game_1, defeat_frame + 50);
    EXPECT_EQ(number(r.state, "games"), 1) << "back on the title screen, waiting";

    // Each escape munches on its squid's channel; the collapse booms on channel 12 every 5 to 7 frames.
    int munches = 0;
    std::vector<int> boom_frames;
    for (const sound_play& p : r.sounds) {
        if (p.ms >= frame_ms(defeat_frame + 51)) break;  // the results screen has sounds of its own
        const int frame = static_cast<int>((p.ms - first_frame_ms) / 40) + 1;
        ASSERT_EQ(p.ms, frame_ms(frame)) << "sounds start while a frame is worked out";
        if (p.sample == "munch") {
            ++munches;
            // At energy 0 an escape costs nothing more; it defeats, or happens in the collapse.
            EXPECT_TRUE(frame >= defeat_frame || energy_by_frame[frame] < energy_by_frame[frame - 1]) << frame;
            EXPECT_TRUE(p.channel >= 1 && p.channel <= 10 && p.volume == -1) << p.channel << " " << p.volume;
        } else {
            EXPECT_EQ(p.sample, "boom") << "frame " << frame;
            EXPECT_EQ(p.channel, 12);
            EXPECT_EQ(p.volume, 255);
            boom_frames.push_back(frame);
        }
    }
    EXPECT_GE(munches, 21) << "twenty escapes cost energy, the twenty-first defeats";
    ASSERT_FALSE(boom_frames.empty());
    EXPECT_EQ(boom_frames.front(), defeat_frame + 1);
    for (std::size_t i = 1; i < boom_frames.size(); ++i)
        EXPECT_TRUE(boom_frames[i] - boom_frames[i - 1] >= 5 && boom_frames[i] - boom_frames[i - 1] <= 7);
}

TEST(GameRun, AKillThenAMissPaysTheChain) {
    // Aim at squid 0 on its first flight, timing the shot to land when it is
    // 45 frames old.
    squid_model model;
    int launch_frame = 0;
    while (launch_frame == 0) {
        model.step();
        if (model.squids[0].state == 2) launch_frame = model.frame;
    }
    ASSERT_EQ(model.squids[0].kind, 0) << "the first launch of the fixed sequence is an alien";
    const int landing = launch_frame + 45;
    std::vector<squid_model::shot> shots = {{landing, 0, 0}};  // in flight; its target comes next
    squid_model ahead = model;
    while (ahead.frame < landing - 1) ahead.step(shots);
    const squid_model::squid& target = ahead.squids[0];
    const float x = target.x + target.dx, y = target.y + target.dy;
    int aim_x = (static_cast<int>(std::nearbyint(x)) >> 3) << 3;
    int aim_y = (static_cast<int>(std::nearbyint(y)) >> 3) << 3;
    int cursor_x = 0, cursor_y = 0;
    for (int tries = 0; !cursor_for(aim_x, aim_y, cursor_x, cursor_y) && tries < 4; ++tries) {
        aim_x += (tries % 2) ? 8 : 0;
        aim_y += (tries % 2) ? 0 : 8;
    }
    ASSERT_TRUE(cursor_for(aim_x, aim_y, cursor_x, cursor_y));
    shots[0] = {landing, aim_x, aim_y};
    const int fire_frame = landing - 8;

    // Then a shot at an empty spot, landing 28 frames later.
    const int miss_landing = landing + 28;
    squid_model after = model;
    while (after.frame < landing) after.step(shots);
    ASSERT_EQ(after.last_hit, 0);
    const int kill_points = after.score;
    EXPECT_EQ(kill_points, 500 - 100 * ((45 / 14 + 2) / 2));
    int miss_cursor_x = 0, miss_cursor_y = 0;
    bool found = false;
    for (int cy = 0; cy <= 472 && !found; cy += 64) {
        for (int cx = 0; cx <= 632 && !found; cx += 88) {
            std::vector<squid_model::shot> both = shots;
            both.push_back({miss_landing, cx + (((cx / 10) >> 3) << 3), cy + (cy / 64) * 8});
            squid_model probe = after;
            while (probe.frame < miss_landing) probe.step(both);
            if (probe.missed) {
                found = true;
                miss_cursor_x = cx;
                miss_cursor_y = cy;
            }
        }
    }
    ASSERT_TRUE(found);

    std::string script = start_game;
    script += at(frame_ms(fire_frame - 2), "move " + std::to_string(cursor_x) + " " + std::to_string(cursor_y));
    script += at(frame_ms(fire_frame), "press left");
    script += at(frame_ms(fire_frame + 1), "release left");
    const int miss_fire = miss_landing - 8;
    script +=
        at(frame_ms(miss_fire - 2), "move " + std::to_string(miss_cursor_x) + " " + std::to_string(miss_cursor_y));
    script += at(frame_ms(miss_fire), "press left");
    script += at(frame_ms(miss_fire + 1), "release left");
    const headless_result r = run_headless(script, {"--end", std::to_string(frame_ms(miss_landing + 20))});
    ASSERT_EQ(r.exit_code, 0);

    const auto& before = frame_line(r, 1, landing - 1);
    EXPECT_EQ(number(before, "score"), 0);
    EXPECT_EQ(number(before, "kills_left"), 6);
    const auto& kill = frame_line(r, 1, landing);
    EXPECT_EQ(number(kill, "score"), kill_points);
    EXPECT_EQ(number(kill, "chain"), 1);
    EXPECT_EQ(number(kill, "kills_left"), 5);
    // The launch sounds the laser, the kill the explosion on the squid's channel.
    const auto played = [&](int frame, const std::string& sample, int channel) {
        return std::any_of(r.sounds.begin(), r.sounds.end(), [&](const sound_play& p) {
            return p.ms == frame_ms(frame) && p.sample == sample && p.channel == channel && p.volume == -1;
        });
    };
    EXPECT_TRUE(played(fire_frame, "laser", 0));
    EXPECT_TRUE(played(landing, "explosion", 1));
    EXPECT_TRUE(played(miss_fire, "laser", 0));
    const auto& miss = frame_line(r, 1, miss_landing);
    EXPECT_EQ(number(miss, "score"), kill_points + 100);
    EXPECT_EQ(number(miss, "chain"), 0);
    EXPECT_EQ(number(miss, "max_chain"), 1);
    EXPECT_EQ(number(frame_line(r, 1, miss_landing - 1), "chain"), 1);
}

TEST(GameRun, ShootingTheQuotaBringsStageTwo) {
    // Plan shots with the model alone: whenever no shot is out, aim at the
    // first alien that will be at least 20 frames old where the shot lands.
    squid_model model;
    std::vector<squid_model::shot> shots;
    std::string script = start_game;
    std::vector<int> landings;
    while (model.stage == 1 && model.frame < 3000) {
        const int decided = model.frame;
        const bool shot_out = !landings.empty() && landings.back() >= decided;
        bool planned = false;
        for (int i = 0; i < model.squid_count && !shot_out && !planned; ++i) {
            const int fire = decided + 3, landing = fire + 8;
            squid_model ahead = model;
            while (ahead.frame < landing - 1) ahead.step(shots);
            const squid_model::squid& s = ahead.squids[i];
            if (s.state != 2 || s.kind != 0 || s.age + 1 < 20) continue;
            const float x = s.x + s.dx, y = s.y + s.dy;
            const int h = (s.age + 1) / 2;
            int cx = 0, cy = 0;
            for (int dy = 0; dy <= 8 && !planned; dy += 8)
                for (int dx = 0; dx <= 8 && !planned; dx += 8) {
                    const int tx = ((static_cast<int>(std::nearbyint(x)) >> 3) << 3) + dx;
                    const int ty = ((static_cast<int>(std::nearbyint(y)) >> 3) << 3) + dy;
                    if (tx > x - h && tx < x + h && ty > y - h && ty < y + h + 4 && cursor_for(tx, ty, cx, cy)) {
                        planned = true;
                        shots.push_back({landing, tx, ty});
                        landings.push_back(landing);
                        script += at(frame_ms(fire - 2), "move " + std::to_string(cx) + " " + std::to_string(cy));
                        script += at(frame_ms(fire), "press left");
                        script += at(frame_ms(fire + 1), "release left");
                    }
                }
        }
        model.step(shots);
    }
    ASSERT_EQ(model.stage, 2);
    ASSERT_GE(landings.size(), 6u);
    const int stage_two = model.frame;

    // The model again, frame by frame, to know each landing's outcome.
    squid_model replay;
    const headless_result r = run_headless(script, {"--end", std::to_string(frame_ms(stage_two + 5))});
    ASSERT_EQ(r.exit_code, 0);
    while (replay.frame < stage_two) {
        replay.step(shots);
        const auto& line = frame_line(r, 1, replay.frame);
        ASSERT_EQ(number(line, "score"), replay.score) << "frame " << replay.frame;
        ASSERT_EQ(number(line, "chain"), replay.chain) << "frame " << replay.frame;
        ASSERT_EQ(number(line, "kills_left"), replay.kills_left) << "frame " << replay.frame;
        ASSERT_EQ(number(line, "energy"), replay.energy) << "frame " << replay.frame;
        ASSERT_EQ(number(line, "stage"), replay.stage) << "frame " << replay.frame;
    }
    const auto& changed = frame_line(r, 1, stage_two);
    EXPECT_EQ(number(changed, "stage"), 2);
    EXPECT_EQ(number(changed, "squid_count"), 4);
    EXPECT_EQ(number(changed, "kills_left"), 8);
    EXPECT_EQ(number(frame_line(r, 1, stage_two - 1), "stage"), 1);
    const auto landed = std::count_if(landings.begin(), landings.end(), [&](int l) { return l <= stage_two; });
    EXPECT_EQ(replay.chain, landed) << "every planned shot was a kill";
    EXPECT_EQ(number(changed, "chain"), landed);
}

TEST(GameRun, QuittingOnTheTitleScreenEndsTheProgram) {
    const headless_result r = run_headless("0 keydown esc\n", {});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(number(r.state, "games"), 0);
    EXPECT_EQ(number(r.state, "hi_score"), 1000);
    EXPECT_TRUE(r.trace.empty());
}

TEST(GameRun, WithoutItsFilesTheGameSaysSoOnceAndStillPlaysSilently) {
    const headless_result r = run_headless(start_game, {"--end", std::to_string(frame_ms(500))}, false);
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(number(r.state, "games"), 1);
    EXPECT_GT(number(r.state, "frames"), 400);
    EXPECT_LT(number(r.state, "energy"), 100) << "squids flew and escaped";
    EXPECT_EQ(folder_file(r, "stdout.txt"), "") << "no sound, so no closing line";
    const std::string err = folder_file(r, "stderr.txt");
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << err;
    // The program stands in the working folder, which is named once; the
    // installed data folder is looked for beside it and where it was built for.
    const std::string installed = std::filesystem::path(r.folder).parent_path().string() + "/share/korvane/";
    EXPECT_NE(err.find("korvane: no game pictures in ./graphics, " + installed + "graphics or /"), std::string::npos)
        << err;
    EXPECT_NE(err.find("korvane: no samples in ./WAV, " + installed + "WAV or /"), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(r.folder + "/hiscore.txt")) << "the working folder is not the game's";
    EXPECT_TRUE(std::filesystem::exists(r.folder + "/data/korvane/hiscore.txt"));
    EXPECT_EQ(std::filesystem::status(r.folder + "/data/korvane").permissions(), std::filesystem::perms::owner_all)
        << "a data folder the game makes is the player's alone";
}

TEST(GameRun, SoundIsOnWithTheSamplesAndOffOnRequest) {
    const std::string first_shot = start_game + at(frame_ms(10), "press left") + at(frame_ms(11), "release left");
    const headless_result on = run_headless(first_shot, {"--end", std::to_string(frame_ms(20))});
    EXPECT_EQ(folder_file(on, "stdout.txt"), "FMOD CLOSED\n");
    EXPECT_EQ(folder_file(on, "stderr.txt"), "");
    ASSERT_EQ(on.sounds.size(), 1u);
    EXPECT_EQ(on.sounds[0].ms, frame_ms(10));
    EXPECT_EQ(on.sounds[0].sample, "laser");
    EXPECT_EQ(on.sounds[0].channel, 0);
    const headless_result off = run_headless(first_shot, {"--end", std::to_string(frame_ms(20)), "-NoSound"});
    EXPECT_EQ(folder_file(off, "stdout.txt"), "");
    EXPECT_TRUE(off.sounds.empty());
}

TEST(GameRun, ThePauseDialogPlaysOnOrQuits) {
    std::string script = start_game;
    script += at(frame_ms(20), "keydown esc");
    script += at(frame_ms(20) + 500, "keyup esc");
    script += at(frame_ms(20) + 700, "keydown n");  // play on
    script += at(frame_ms(20) + 750, "keyup n");
    script += at(frame_ms(60), "close");        // the close button pauses too...
    script += at(frame_ms(60) + 300, "close");  // ...and answers "play on"
    script += at(frame_ms(90), "press middle");
    script += at(frame_ms(90) + 100, "release middle");
    script += at(frame_ms(90) + 400, "keydown y");  // quit
    script += at(frame_ms(90) + 450, "keyup y");
    const headless_result r = run_headless(script, {"--end", std::to_string(frame_ms(90) + 5000)});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(number(r.state, "games"), 1);
    // Escape, pressed as frame 20 read its input, is answered 700 ms later
    // and the dialog frame that took the answer sleeps 1 ms: play stood
    // still for 661 ms after that frame's 40.
    EXPECT_EQ(number(frame_line(r, 1, 21), "virtual_ms"), frame_ms(21) + 661 + 40);
    // The quit ends the game with the frame that asked for the pause.
    const int last = static_cast<int>(number(r.trace.back(), "frame"));
    EXPECT_EQ(number(r.state, "frames"), last);
    EXPECT_LT(number(r.trace.back(), "virtual_ms"), frame_ms(90) + 400);
    EXPECT_EQ(number(r.trace.back(), "defeated"), 0);
}

// A recording's events, without its comment lines.
std::string recorded_events(const std::string& recording) {
    std::istringstream lines(recording);
    std::string events;
    for (std::string line; std::getline(lines, line);)
        if (!line.starts_with('#')) events += line + "\n";
    return events;
}

TEST(GameRun, EveryRecordingReplaysAndRecordsItselfAgainWhateverItsBest) {
    // Every kind of event the recorder writes, around a game quit from the dialog.
    const std::string events =
        "0 move 10 10\n0 focus in\n100 move 320 240\n120 press left\n160 release left\n300 hold esc\n"
        "300 type 1b\n340 keyup esc\n2000 press right\n2040 release right\n2100 press middle\n"
        "2140 release middle\n2200 leave\n2300 move 100 100\n2400 focus out\n2500 focus in\n2600 minimise\n"
        "2700 keydown a\n2700 type 61\n2740 keyup a\n3000 type ff48\n3300 hold esc\n3300 type 1b\n"
        "3340 keyup esc\n9000 move 200 200\n9040 press left\n9080 release left\n12000 hold esc\n"
        "12000 type 1b\n12040 keyup esc\n13000 hold y\n13000 type 79\n13040 keyup y\n15000 close\n";
    for (const std::int32_t best : {INT32_MIN, -20, 0, INT32_MAX}) {
        SCOPED_TRACE(best);
        const std::string best_line = "0 best " + std::to_string(best) + "\n";
        const std::vector<std::string> outputs{"--record", "again.txt", "--state", "state.json"};
        const headless_result first = run_headless(best_line + events, outputs);
        ASSERT_EQ(first.exit_code, 0) << folder_file(first, "stderr.txt");
        const std::string recording = folder_file(first, "again.txt");
        EXPECT_NE(recording.find(best_line), std::string::npos) << recording;
        const headless_result second = run_headless(recording, outputs);
        ASSERT_EQ(second.exit_code, 0) << folder_file(second, "stderr.txt");
        EXPECT_EQ(recorded_events(folder_file(second, "again.txt")), recorded_events(recording));
        EXPECT_EQ(second.state, first.state);
        EXPECT_EQ(number(first.state, "games"), 1);
        EXPECT_EQ(number(first.state, "hi_score"), std::max(best, 0)) << "a game's 0 beats a negative best";
    }
}

// Calm mode, on a whole game by the built-in player: stages, two bonus
// stages, a defeat and its collapse, the results. The game is played twice,
// as it flashes and calm, each recorded; the recordings are then replayed.
class CalmMode : public ::testing::Test {
protected:
    static headless_result plain, calm;
    static void SetUpTestSuite() {
        std::ifstream in(std::string(KORVANE_SOURCE_DIR) + "/tests/replays/autoplay-to-stage-5.script");
        const std::string script{std::istreambuf_iterator<char>(in), {}};
        ASSERT_EQ(script.find(" best "), std::string::npos) << "a recording would decide for itself";
        plain = run_headless(script, outputs({"--record", "game.txt"}));
        calm = run_headless(script, outputs({"--record", "game.txt", "--calm"}));
    }
    // Until after the collapse and the results.
    static std::vector<std::string> outputs(std::vector<std::string> words) {
        for (const char* word : {"--pictures", "pictures.txt", "--end", "125000"}) words.push_back(word);
        return words;
    }
    // A run's values but for what calm mode changes: the scheme, calm mode itself and the picture.
    static std::map<std::string, std::string> apart_from_the_scheme(std::map<std::string, std::string> values) {
        for (const char* key : {"scheme", "calm", "picture"}) values.erase(key);
        return values;
    }
    // The pictures seen from..to (ms, to not included), or outside that time.
    static std::vector<std::string> pictures(const headless_result& r, long long from, long long to, bool inside) {
        std::istringstream lines(folder_file(r, "pictures.txt"));
        std::vector<std::string> seen;
        long long ms = 0;
        for (std::string digest; lines >> ms >> digest;)
            if ((ms >= from && ms < to) == inside) seen.push_back(std::to_string(ms) + " " + digest);
        return seen;
    }
};
headless_result CalmMode::plain, CalmMode::calm;

TEST_F(CalmMode, TheCollapseKeepsItsSchemeAndNothingElseChanges) {
    ASSERT_EQ(plain.exit_code, 0) << folder_file(plain, "stderr.txt");
    ASSERT_EQ(calm.exit_code, 0) << folder_file(calm, "stderr.txt");
    const auto defeated = [](const auto& frame) { return number(frame, "defeated") != 0; };
    const std::size_t defeat = std::find_if(plain.trace.begin(), plain.trace.end(), defeated) - plain.trace.begin();
    ASSERT_EQ(defeat + 51, plain.trace.size()) << "the defeat and its 50 frames of collapse end the trace";

    // The same game, frame for frame: every value, every random number drawn, every sound.
    ASSERT_EQ(calm.trace.size(), plain.trace.size());
    for (std::size_t i = 0; i < plain.trace.size(); ++i)
        ASSERT_EQ(apart_from_the_scheme(calm.trace[i]), apart_from_the_scheme(plain.trace[i])) << "frame " << i + 1;
    EXPECT_EQ(apart_from_the_scheme(calm.state), apart_from_the_scheme(plain.state));
    EXPECT_EQ(folder_file(calm, "sounds.txt"), folder_file(plain, "sounds.txt"));

    // The collapse flashes a new scheme every frame; calm, it keeps the one
    // the defeat came in.
    for (std::size_t i = defeat + 1; i < plain.trace.size(); ++i) {
        EXPECT_NE(number(plain.trace[i], "scheme"), number(plain.trace[i - 1], "scheme")) << "frame " << i + 1;
        EXPECT_EQ(number(calm.trace[i], "scheme"), number(plain.trace[defeat], "scheme")) << "frame " << i + 1;
    }
    // At most three changes of scheme in any second of play, calm, through
    // all three schemes (the stages' two and the bonus stages'); without calm
    // the collapse has 25.
    const auto most_changes_in_a_second = [](const headless_result& r) {
        int most = 0;
        for (std::size_t first = 1; first < r.trace.size(); ++first) {
            int changes = 0;
            for (std::size_t i = first; i < std::min(first + 25, r.trace.size()); ++i)
                changes += r.trace[i].at("scheme") != r.trace[i - 1].at("scheme");
            most = std::max(most, changes);
        }
        return most;
    };
    EXPECT_EQ(most_changes_in_a_second(plain), 25);
    EXPECT_LE(most_changes_in_a_second(calm), 3);
    std::set<std::string> schemes;
    for (const auto& frame : calm.trace) schemes.insert(frame.at("scheme"));
    EXPECT_EQ(schemes.size(), 3u);

    // Every picture on every screen is the same, but for those of the collapse.
    const long long from = number(plain.trace[defeat], "virtual_ms"), to = number(plain.trace.back(), "virtual_ms");
    EXPECT_EQ(pictures(calm, from, to, false), pictures(plain, from, to, false));
    EXPECT_GE(pictures(calm, from, to, true).size(), 40u);
    EXPECT_NE(pictures(calm, from, to, true), pictures(plain, from, to, true));
}

// A recording says whether it was played calm, and a calm one replays calm
// whatever the watcher asks; one played without calm replays as its player
// saw it, unless the watcher asks for calm: nothing but the collapse's
// colours differ, so it is then the calm game's.
TEST_F(CalmMode, ARecordingReplaysAsCalmAsItWasPlayed) {
    const std::string calm_recording = folder_file(calm, "game.txt");
    const std::string plain_recording = folder_file(plain, "game.txt");
    EXPECT_NE(calm_recording.find("\n0 best 1000\n0 calm\n"), std::string::npos) << calm_recording;
    EXPECT_EQ(plain_recording.find(" calm"), std::string::npos) << plain_recording;
    for (const bool asked : {false, true}) {
        SCOPED_TRACE(asked ? "replayed with --calm" : "replayed without --calm");
        const std::vector<std::string> words = asked ? outputs({"--calm"}) : outputs({});
        for (const auto* played : {&calm, &plain}) {
            const headless_result replay = run_headless(folder_file(*played, "game.txt"), words);
            ASSERT_EQ(replay.exit_code, 0) << folder_file(replay, "stderr.txt");
            const headless_result& seen = (played == &calm || asked) ? calm : plain;
            EXPECT_EQ(folder_file(replay, "pictures.txt"), folder_file(seen, "pictures.txt"));
            EXPECT_EQ(replay.state.at("calm"), seen.state.at("calm"));
        }
    }
}

TEST(GameRun, LeavingTheWindowPausesPlayButNothingElse) {
    std::string script = start_game;
    script += at(5000, "focus out");  // during the opening: no pause later
    script += at(5100, "focus in");
    script += at(frame_ms(20), "focus out");
    script += at(frame_ms(20) + 300, "focus in");
    script += at(frame_ms(20) + 500, "keydown n");  // play on
    script += at(frame_ms(20) + 550, "keyup n");
    const headless_result r = run_headless(script, {"--end", std::to_string(frame_ms(40))});
    EXPECT_EQ(number(frame_line(r, 1, 1), "virtual_ms"), frame_ms(1) + 40);
    EXPECT_EQ(number(frame_line(r, 1, 20), "virtual_ms"), frame_ms(20) + 40);
    // As with Escape: the dialog took the answer 500 ms after frame 20 read
    // its input and slept 1 ms, so play stood still 461 ms after that frame.
    EXPECT_EQ(number(frame_line(r, 1, 21), "virtual_ms"), frame_ms(21) + 461 + 40);
}

TEST(GameRun, TheCursorSnapsToTheEightPixelGrid) {
    const std::string script = start_game + at(frame_ms(5), "move 203 125") + at(frame_ms(6), "move 639 479");
    const headless_result r = run_headless(script, {"--end", std::to_string(frame_ms(8))});
    EXPECT_EQ(number(frame_line(r, 1, 5), "player_x"), 200);
    EXPECT_EQ(number(frame_line(r, 1, 5), "player_y"), 120);
    EXPECT_EQ(number(frame_line(r, 1, 6), "player_x"), 632);
    EXPECT_EQ(number(frame_line(r, 1, 6), "player_y"), 472);
}

TEST(GameRun, EndsAtItsEndTimeAndTakesScreenshots) {
    const headless_result r =
        run_headless(start_game, {"--end", std::to_string(frame_ms(51)), "--shot", "1000:early.png", "--shot",
                                  std::to_string(frame_ms(51)) + ":last.png"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(number(r.state, "frames"), 50) << "the frame whose sleep ends at the end time counts";
    EXPECT_EQ(number(r.state, "virtual_ms"), frame_ms(51));
    for (const char* name : {"early.png", "last.png"}) {
        std::ifstream png(r.folder + "/" + name, std::ios::binary);
        const std::string header(std::istreambuf_iterator<char>(png), {});
        ASSERT_GT(header.size(), 24u) << name;
        EXPECT_EQ(header.substr(1, 3), "PNG");
        const auto be32 = [&](std::size_t at) {
            return (static_cast<unsigned char>(header[at]) << 24) | (static_cast<unsigned char>(header[at + 1]) << 16) |
                   (static_cast<unsigned char>(header[at + 2]) << 8) | static_cast<unsigned char>(header[at + 3]);
        };
        EXPECT_EQ(be32(16), 640);
        EXPECT_EQ(be32(20), 480);
    }
}

TEST(GameRun, ASignalEndsARunWithWhatItMadeSoFar) {
    for (const int signal : {SIGTERM, SIGINT}) {
        // A game with its end a day off runs for a minute or more.
        headless_run run = start_headless(start_game, {"--end", "86400000"});
        const auto started = std::chrono::steady_clock::now();
        const auto traced = [&] {
            std::error_code no_file_yet;
            const auto size = std::filesystem::file_size(run.result.folder + "/trace.jsonl", no_file_yet);
            return no_file_yet ? 0 : size;
        };
        while (traced() < 10000 && std::chrono::steady_clock::now() - started < std::chrono::seconds(30))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        kill(run.pid, signal);
        const headless_result r = finish_headless(run);
        EXPECT_EQ(r.exit_code, 128 + signal);
        ASSERT_FALSE(r.trace.empty());
        EXPECT_GT(number(r.state, "frames"), 0) << "the state so far is written";
        EXPECT_EQ(number(r.state, "frames"), number(r.trace.back(), "frame"));
    }
}

TEST(GameRun, EveryOutputThatCannotBeMadeIsAnError) {
    const std::string end = std::to_string(frame_ms(20));
    for (const auto& [option, value] :
         std::vector<std::pair<std::string, std::string>>{{"--state", "/dev/full"},
                                                          {"--trace", "/dev/full"},
                                                          {"--shot", "1000:/dev/full"},
                                                          {"--shot", "1000:no/such/folder/shot.png"},
                                                          {"--shot", std::to_string(frame_ms(30)) + ":late.png"},
                                                          {"--trace", "no/such/folder/trace.txt"},
                                                          {"--memory", "no/such/folder/memory.txt"},
                                                          {"--pictures", "no/such/folder/pictures.txt"},
                                                          {"--sounds", "no/such/folder/sounds.txt"},
                                                          {"--state", "no/such/folder/state.json"},
                                                          {"--record", "no/such/folder/game.txt"}}) {
        const headless_result r = run_headless(start_game, {"--end", end, option, value});
        EXPECT_EQ(r.exit_code, 1) << option << " " << value;
        // A file that cannot be opened is found before the game plays a frame.
        if (option != "--shot" && value.starts_with("no/such/")) {
            EXPECT_TRUE(r.trace.empty()) << option << " was opened after the run";
        }
        EXPECT_NE(folder_file(r, "stderr.txt").find("korvane-headless: "), std::string::npos) << option << " " << value;
    }
}

TEST(GameRun, ABadInputIsRefusedBrieflyAndNeverWaitedFor) {
    alarm(60);  // reading a FIFO would wait for ever
    const std::string fifo = std::filesystem::temp_directory_path() / ("korvane_fifo_" + std::to_string(getpid()));
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    // Sparse: refused by its size, before a byte of it is read.
    const std::string huge = std::filesystem::temp_directory_path() / ("korvane_huge_" + std::to_string(getpid()));
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, (std::uintmax_t{1} << 30) + 1);
    for (const std::string& input : {std::string("/tmp"), fifo, std::string("/dev/zero"), huge}) {
        const headless_result r = run_headless("", {"--input", input});
        EXPECT_EQ(r.exit_code, 2) << input;
    }
    std::filesystem::remove(fifo);
    std::filesystem::remove(huge);
    alarm(0);
    const std::string long_word(100000, 'x');
    const headless_result r = run_headless("0 " + long_word + "\n", {});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_LT(folder_file(r, "stderr.txt").size(), 400u) << "a bad word is quoted, not repeated";
}

// korvane-headless with the built-in player, in a scratch folder of its own:
// the folder, where it left its state.json and trace.jsonl.
std::filesystem::path autoplay(const std::string& name, const std::string& options) {
    const auto folder =
        std::filesystem::temp_directory_path() / ("korvane_autoplay_" + std::to_string(getpid()) + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string command = "cd '" + folder.string() + "' && XDG_DATA_HOME='" + folder.string() + "/data' '" +
                                KORVANE_GAME_DIR "/korvane-headless' nosound " + options +
                                " --state state.json --trace trace.jsonl >out.txt 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return folder;
}

TEST(GameRun, TheBuiltInPlayerPlaysTheGamesAskedForEachFromScratchAndPlaysWell) {
    const auto two = autoplay("two", "--autoplay 5 --games 2");
    std::ifstream state_file(two / "state.json");
    std::string state_line;
    std::getline(state_file, state_line);
    EXPECT_EQ(number(parse_json_line(state_line), "games"), 2);
    std::ifstream trace(two / "trace.jsonl");
    long long best_stage = 0, best_chain = 0, last_chain = 0;
    bool bonus_stage = false, second_began = false;
    for (std::string line; std::getline(trace, line);) {
        const auto frame = parse_json_line(line);
        if (number(frame, "game") == 1) {
            best_stage = std::max(best_stage, number(frame, "stage"));
            best_chain = std::max(best_chain, number(frame, "max_chain"));
            bonus_stage = bonus_stage || number(frame, "bonus_stage") != 0;
            last_chain = number(frame, "chain");
        } else if (!second_began) {
            second_began = true;
            ASSERT_GT(last_chain, 0) << "the first game ended without a chain to carry";
            EXPECT_EQ(number(frame, "chain"), 0) << "the first game's chain went on: " << line;
            EXPECT_EQ(number(frame, "score"), 0) << line;
            EXPECT_EQ(number(frame, "max_chain"), 0) << "the longest chain is this game's: " << line;
            EXPECT_EQ(number(frame, "stage"), 1) << line;
        }
    }
    EXPECT_TRUE(second_began);
    // The regression games and the soak lean on it reaching bonus stages.
    EXPECT_GE(best_stage, 5);
    EXPECT_TRUE(bonus_stage);
    EXPECT_GE(best_chain, 5);
    std::filesystem::remove_all(two);

    const auto ended = autoplay("ended", "--autoplay 5 --end 20000");
    std::ifstream ended_state(ended / "state.json");
    std::getline(ended_state, state_line);
    EXPECT_EQ(number(parse_json_line(state_line), "virtual_ms"), 20000) << "the run ends at --end";
    std::filesystem::remove_all(ended);
}

TEST(GameRun, AHugeRecordingTakesAboutItsOwnSizeInMemory) {
#ifdef KORVANE_SANITIZED
    GTEST_SKIP() << "the sanitizers keep freed memory in quarantine";
#endif
    // 50 MB of a player's moves: hours of play.
    std::string recording;
    for (long long i = 0; recording.size() < (50u << 20); ++i)
        recording += std::to_string(i * 9) + " move " + std::to_string(100 + i % 400) + " " +
                     std::to_string(100 + i % 300) + "\n";
    const headless_result r = run_headless(recording, {"--end", "1", "--memory", "memory.txt"});
    ASSERT_EQ(r.exit_code, 0) << folder_file(r, "stderr.txt");
    std::istringstream memory(folder_file(r, "memory.txt"));
    long long frames = 0, kb = 0, peak_kb = 0;
    while (memory >> frames >> kb) peak_kb = std::max(peak_kb, kb);
    EXPECT_LT(peak_kb, 2 * static_cast<long long>(recording.size() >> 10)) << "peak KB for a 50 MB recording";
}

TEST(GameRun, AMalformedScriptIsRefusedBeforeAnythingRuns) {
    const headless_result r = run_headless("0 move 1 1\n5 dance\n", {});
    EXPECT_EQ(r.exit_code, 2);
    EXPECT_TRUE(r.state.empty());
    // Nothing may ask for more than a day of the game's time, which would take hours to run.
    for (const auto& [script, options] :
         std::vector<std::pair<std::string, std::vector<std::string>>>{{"86400001 move 1 1\n", {}},
                                                                       {"1000000000000 move 1 1\n", {}},
                                                                       {"", {"--end", "86400001"}},
                                                                       {"", {"--shot", "86400001:late.png"}}}) {
        const auto started = std::chrono::steady_clock::now();
        const headless_result late = run_headless(script, options);
        EXPECT_EQ(late.exit_code, 2) << script;
        EXPECT_NE(folder_file(late, "stderr.txt").find("86400000"), std::string::npos)
            << folder_file(late, "stderr.txt");
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    }
}

}  // namespace

TEST(GameRun, TwoGamesInOneFolderNeverLowerTheBestTheOtherSaved) {
    // B reads the best, then waits in its game (its trace is a FIFO no one
    // reads) while A plays a better game to the end and saves; then B ends
    // and saves its lower score.
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("korvane_two_games_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* files : {"graphics", "WAV"})
        fs::create_directory_symlink(fs::path(KORVANE_GAME_DIR) / files, folder / files);
    const auto recorded = [](const std::string& name) {
        std::ifstream in(std::string(KORVANE_SOURCE_DIR) + "/tests/replays/" + name + ".script");
        std::string script;
        // Without the best it began with, the game is played for real and its best saved.
        for (std::string line; std::getline(in, line);)
            if (line.find(" best ") == std::string::npos) script += line + "\n";
        return script;
    };
    std::ofstream(folder / "a.txt") << recorded("autoplay-two-bonus-stages-to-stage-6");  // 34500
    std::ofstream(folder / "b.txt") << recorded("autoplay-to-stage-5");                   // 23680
    ASSERT_EQ(mkfifo((folder / "b.trace").c_str(), 0600), 0);
    const std::string program = std::string(KORVANE_GAME_DIR) + "/korvane-headless";
    const std::string env = "cd '" + folder.string() + "' && HOME=. XDG_DATA_HOME=./data ";
    const pid_t b = fork();
    if (b == 0) {
        const std::string command = env + "exec '" + program + "' nosound --input b.txt --trace b.trace 2>b.err";
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    alarm(120);
    const int trace = open((folder / "b.trace").c_str(), O_RDONLY);
    ASSERT_GE(trace, 0);
    char first_frame[1];
    ASSERT_EQ(read(trace, first_frame, 1), 1) << "B never reached play";
    const std::string a = env + "'" + program + "' nosound --input a.txt --end 200000 2>a.err";
    ASSERT_EQ(std::system(a.c_str()), 0);
    const auto best = [&folder] {
        std::ifstream in(folder / "hiscore.txt");
        std::string heading;
        long long value = -1;
        std::getline(in, heading);
        in >> value;
        return value;
    };
    EXPECT_EQ(best(), 34500);
    char rest[1 << 16];
    while (read(trace, rest, sizeof rest) > 0) {
    }
    close(trace);
    int status = 0;
    ASSERT_EQ(waitpid(b, &status, 0), b);
    alarm(0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(best(), 34500) << "B's 23680 was written over A's better best";
    fs::remove_all(folder);
}
