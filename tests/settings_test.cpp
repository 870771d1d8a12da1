// The windowed programs' settings: their file, the command line's settings
// for one run, and what the volume keys do.
#include "programs/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

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
