// The windowed programs' settings: their file, the command line's settings
// for one run, and what the volume keys do.
#include "programs/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "present/pad_motion.h"
#include "present/volume_overlay.h"
#include "programs/command_line.h"

namespace {

TEST(Settings, TheFileReadsBackAsWrittenAndABadLineCostsOnlyItself) {
    game_settings s;
    s.window = {30, true, true, 1280, 960, false, 15, 250};
    s.calm = true;
    const std::string text = format_settings(s);
    testing::internal::CaptureStderr();
    const game_settings back = parse_settings(text, "korvane", "settings.ini");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(format_settings(back), text);

    // Every kind of bad line is ignored after one line naming it; the good
    // lines around it count, and the last of a repeated setting wins.
    testing::internal::CaptureStderr();
    const game_settings mixed = parse_settings(
        "# a comment\n\nvolume = 40\nvolume = 300\nmute\ncolour = red\nwindow-size = 10x10\n"
        "  pad-speed=200  \r\nvsync = maybe\nvolume = 50\nfull-screen = yes\n",
        "korvane", "settings.ini");
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(mixed.window.volume, 50);
    EXPECT_EQ(mixed.window.pad_speed, 200);
    EXPECT_TRUE(mixed.window.full_screen);
    EXPECT_TRUE(mixed.window.vsync) << "a bad value leaves the default";
    EXPECT_EQ(mixed.window.window_width, 640);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 5) << said;
    for (const char* line : {"line 4 ", "line 5 ", "line 6 ", "line 7 ", "line 9 "})
        EXPECT_NE(said.find(line), std::string::npos) << line << " not named in:\n" << said;
    EXPECT_NE(said.find("volume takes 0..100"), std::string::npos) << said;
}

TEST(Settings, TheCommandLineSetsThemForOneRunAndRefusesBadValues) {
    command_line line;
    const char* words[] = {"korvane", "--volume", "60", "--no-vsync", "--mute", "NOSOUND", "--window-size", "800x600"};
    testing::internal::CaptureStderr();
    ASSERT_TRUE(read_command_line(program_kind::windowed, "korvane", 8, const_cast<char**>(words), line));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    game_settings s;
    std::string why;
    for (const auto& [name, value] : line.settings) ASSERT_TRUE(set_setting(s, name, value, why)) << why;
    EXPECT_EQ(s.window.volume, 60);
    EXPECT_FALSE(s.window.vsync);
    EXPECT_TRUE(s.window.muted);
    EXPECT_EQ(s.window.window_width, 800);
    ASSERT_EQ(line.game_args.size(), 3u);  // the program, NOSOUND and the end
    EXPECT_STREQ(line.game_args[1], "NOSOUND");

    for (const std::vector<const char*>& bad : {std::vector<const char*>{"korvane", "--volume", "101"},
                                                {"korvane", "--volume"},
                                                {"korvane", "--pad-dead-zone", "-1"},
                                                {"korvane", "--window-size", "800"}}) {
        command_line refused;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(read_command_line(program_kind::windowed, "korvane", static_cast<int>(bad.size()),
                                       const_cast<char**>(bad.data()), refused))
            << bad[1];
        EXPECT_NE(testing::internal::GetCapturedStderr().find(bad[1]), std::string::npos);
    }
    // korvane-headless has no window to set.
    command_line headless;
    const char* volume[] = {"korvane-headless", "--volume", "60"};
    testing::internal::CaptureStderr();
    EXPECT_FALSE(
        read_command_line(program_kind::headless, "korvane-headless", 3, const_cast<char**>(volume), headless));
    testing::internal::GetCapturedStderr();
}

TEST(Settings, OnlyWhatThePlayerChangedWhilePlayingIsSaved) {
    window_settings saved;  // the file: volume 100, in a window
    window_settings run = saved;
    run.volume = 40;  // --volume 40 for this run
    window_settings now = run;
    now.muted = true;        // M
    now.full_screen = true;  // Alt+Enter
    carry_player_changes(run, now, saved);
    EXPECT_TRUE(saved.muted);
    EXPECT_TRUE(saved.full_screen);
    EXPECT_EQ(saved.volume, 100) << "the command line's volume was saved";
    window_settings louder = now;
    apply_volume_key(volume_key::louder, louder);
    carry_player_changes(now, louder, saved);
    EXPECT_EQ(saved.volume, 50) << "a change of volume is the player's";
    EXPECT_FALSE(saved.muted) << "a volume key sounds again";
}

TEST(Settings, TheVolumeKeysStepByTenthsWithinTheRange) {
    window_settings s;
    apply_volume_key(volume_key::louder, s);
    EXPECT_EQ(s.volume, 100);
    for (int i = 0; i < 12; ++i) apply_volume_key(volume_key::quieter, s);
    EXPECT_EQ(s.volume, 0);
    s.volume = 45;  // from the file
    apply_volume_key(volume_key::quieter, s);
    EXPECT_EQ(s.volume, 40);
    s.volume = 45;
    apply_volume_key(volume_key::louder, s);
    EXPECT_EQ(s.volume, 50);
    apply_volume_key(volume_key::mute, s);
    EXPECT_TRUE(s.muted);
    EXPECT_EQ(s.volume, 50);
    apply_volume_key(volume_key::mute, s);
    EXPECT_FALSE(s.muted);
}

}  // namespace

namespace {

// A pad's stick: still within the round dead zone, then smooth from its
// edge, 800 pixels a second at full tilt, doubled by a shoulder button.
TEST(PadMotion, TheStickMovesTheCursorByItsDeflectionBeyondARoundDeadZone) {
    const auto speed = [](float x, float y, int dead_zone = 8, int speed_percent = 100, bool fast = false) {
        const cursor_motion m = stick_motion(x, y, dead_zone, speed_percent, fast, 1000);
        return std::hypot(m.dx, m.dy);
    };
    EXPECT_EQ(speed(0.079f, 0), 0);
    EXPECT_EQ(speed(0.05f, 0.06f), 0) << "within the circle, whatever the direction";
    EXPECT_GT(speed(0.06f, 0.06f), 0) << "outside the circle, though each axis is within 8%";
    EXPECT_LT(speed(0.09f, 0), 15) << "motion starts smoothly at the zone's edge";
    EXPECT_NEAR(speed(1, 0), 800, 0.5);
    EXPECT_NEAR(speed(0.707f, 0.707f), 800, 1) << "full tilt is full tilt in every direction";
    EXPECT_NEAR(speed(0.54f, 0), 400, 1) << "halfway beyond the zone, half the speed";
    EXPECT_NEAR(speed(1, 0, 8, 100, true), 1600, 1);
    EXPECT_NEAR(speed(1, 0, 8, 50), 400, 0.5);
    EXPECT_NEAR(speed(-1, 0, 0), 800, 0.5);
    const cursor_motion left_up = stick_motion(-0.6f, -0.8f, 8, 100, false, 40);
    EXPECT_LT(left_up.dx, 0);
    EXPECT_NEAR(left_up.dy / left_up.dx, 0.8f / 0.6f, 1e-4) << "the cursor goes where the stick points";
    EXPECT_EQ(stick_motion(1, 0, 8, 100, false, 0).dx, 0);
}

}  // namespace
