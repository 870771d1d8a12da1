// What a recording writes as input reaches the game, and that reading it
// back gives the game the same input at the same moments.
#include "present/input_recording.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "present/input.h"
#include "test_screen.h"

namespace {

std::string recorded(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(Recording, WritesInputAsItReachesTheGameAndReplaysIt) {
    const std::string path = ::testing::TempDir() + "recording_test.script";
    {
        test_screen screen;
        ASSERT_TRUE(start_input_recording(path, {"a header"}));
        report_pointer_position(10, 10);
        report_pointer_position(20, 30);  // one move a moment: the last
        sleep_plain(40);
        // The key at y's place on a German keyboard types "z", and the key
        // at z's place types "y".
        report_key(scan_code_of_character('y'), true);
        queue_key_press("z");
        report_key(scan_code_of_character('y'), false);
        sleep_plain(40);
        queue_key_press(close_button_key);
        report_focus(false);
        report_mouse_button(2, true);
        ASSERT_TRUE(stop_input_recording());
    }
    const std::string script = recorded(path);
    EXPECT_EQ(script,
              "# a header\n"
              "0 move 20 30\n"
              "40 hold y\n"
              "40 type 7a\n"
              "40 keyup y\n"
              "80 close\n"
              "80 focus out\n"
              "80 press middle\n");

    std::istringstream in(script);
    script_contents replay;
    std::string error;
    ASSERT_TRUE(parse_script(in, replay, error)) << error;
    test_screen screen(replay.events);
    sleep_plain(40);
    EXPECT_EQ(inkey(), "z") << "what was typed, not what the key's place would type";
    EXPECT_EQ(key_down(scan_code_of_character('y')), -1) << "pressed since the last look";
    EXPECT_EQ(key_down(scan_code_of_character('y')), 0);
    EXPECT_EQ(inkey(), "");
    sleep_plain(40);
    EXPECT_EQ(inkey(), close_button_key);
    std::remove(path.c_str());
}

TEST(Recording, AFileThatCannotBeWrittenIsRefused) {
    EXPECT_FALSE(start_input_recording(::testing::TempDir() + "no/such/folder/game.script", {}));
    EXPECT_FALSE(recording_input());
    EXPECT_TRUE(stop_input_recording()) << "nothing was started";
}

}  // namespace
