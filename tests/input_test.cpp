#include "present/input.h"

#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "present/random.h"
#include "test_screen.h"

namespace {

script_event at(std::uint64_t ms, script_action action) {
    script_event e{};
    e.ms = ms;
    e.action = action;
    return e;
}

TEST(Random, FollowsTheMersenneTwisterFromItsLinearCongruentialFill) {
    // The standard library's MT19937, loaded with the game's starting words,
    // is an independent implementation of the same twist and tempering.
    std::stringstream state;
    std::uint32_t word = 0;
    state << word;
    for (int i = 1; i < 624; ++i) {
        word = word * 1664525u + 1013904223u;
        state << ' ' << word;
    }
    state << ' ' << 624;
    std::mt19937 reference;
    state >> reference;
    ASSERT_TRUE(state);
    restart_random_sequence();
    for (int i = 0; i < 2000; ++i) {  // across three regenerations of the words
        const double value = rnd();
        ASSERT_EQ(value, reference() / 4294967296.0) << "draw " << i;
        ASSERT_LT(value, 1.0);
    }
    restart_random_sequence();
    const double first = rnd();
    restart_random_sequence();
    EXPECT_EQ(rnd(), first);
}

// The PC's scan codes go by the keys' places on a US keyboard.
TEST(Keys, LettersAndDigitsHaveTheirPlacesScanCodes) {
    for (const auto& [c, code] : {std::pair{'q', 16},
                                  {'w', 17},
                                  {'y', 21},
                                  {'p', 25},
                                  {'a', 30},
                                  {'l', 38},
                                  {'z', 44},
                                  {'m', 50},
                                  {'1', 2},
                                  {'9', 10},
                                  {'0', 11},
                                  {'-', 0}})
        EXPECT_EQ(scan_code_of_character(c), code) << c;
}

TEST(Keys, QueueKeepsTheLast15Presses) {
    test_screen screen;
    for (int i = 0; i < 16; ++i) queue_key_press(std::string(1, static_cast<char>('a' + i)));
    for (int i = 1; i < 16; ++i) EXPECT_EQ(inkey(), std::string(1, static_cast<char>('a' + i)));
    EXPECT_EQ(inkey(), "");
}

TEST(Keys, ScriptedKeysHoldAndQueue) {
    test_screen screen({key(0, true, "left"), key(10, false, "left"), at(20, script_action::close)});
    EXPECT_EQ(key_down(scan_left), -1);
    EXPECT_EQ(inkey(), extended_press(ext_left));
    sleep_plain(10);
    EXPECT_EQ(key_down(scan_left), 0);
    EXPECT_EQ(key_down(128), 0);
    EXPECT_EQ(key_down(-1), 0);
    sleep_plain(10);
    EXPECT_EQ(inkey(), close_button_key);
}

TEST(Keys, FocusLossReleasesKeysButKeepsThePresses) {
    test_screen screen({key(0, true, "esc"), at(5, script_action::focus_out), at(9, script_action::focus_in)});
    EXPECT_EQ(key_down(scan_escape), -1);
    sleep_plain(5);
    EXPECT_EQ(key_down(scan_escape), 0);
    int x, y, wheel, buttons, clip;
    EXPECT_EQ(get_mouse(x, y, wheel, buttons, clip), 1);
    EXPECT_EQ(clip, -1);
    EXPECT_EQ(buttons, -1);
    EXPECT_EQ(inkey(), escape_key);
    sleep_plain(5);
    EXPECT_EQ(get_mouse(x, y, wheel, buttons, clip), 0);
}

TEST(Mouse, ReadsOnlyOverTheWindow) {
    script_event move = at(0, script_action::move);
    move.x = 100;
    move.y = 200;
    script_event press = at(0, script_action::press);
    press.button_bit = 2;
    test_screen screen({move, press, at(3, script_action::leave)});
    int x, y, wheel, buttons, clip;
    ASSERT_EQ(get_mouse(x, y, wheel, buttons, clip), 0);
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    EXPECT_EQ(buttons, 4);
    sleep_plain(3);
    EXPECT_EQ(get_mouse(x, y, wheel, buttons, clip), 1);
    EXPECT_EQ(x, -1);
    EXPECT_EQ(wheel, -1);
}

TEST(Input, APressBetweenTwoReadsCountsOnceUnlessTheMouseCouldNotBeRead) {
    script_event press = at(0, script_action::press), release = at(0, script_action::release);
    script_event back_in = at(23, script_action::move);
    test_screen screen({press, release, key(5, true, "esc"), key(5, false, "esc"), at(10, script_action::press),
                        at(12, script_action::release), at(20, script_action::leave), at(21, script_action::press),
                        at(22, script_action::release), back_in, key(30, true, "esc"), at(30, script_action::focus_out),
                        key(31, false, "esc"), at(32, script_action::focus_in)});
    int x, y, wheel, buttons, clip;
    const auto buttons_now = [&] { return get_mouse(x, y, wheel, buttons, clip) == 0 ? buttons : -1; };
    EXPECT_EQ(buttons_now(), 1) << "down and up at the same moment";
    EXPECT_EQ(buttons_now(), 0) << "once";
    sleep_plain(5);
    EXPECT_EQ(key_down(scan_escape), -1);
    EXPECT_EQ(key_down(scan_escape), 0);
    sleep_plain(5);
    EXPECT_EQ(buttons_now(), 1);
    sleep_plain(2);
    EXPECT_EQ(buttons_now(), 0) << "a press that spans a read is not reported twice";
    sleep_plain(13);
    EXPECT_EQ(buttons_now(), 0) << "a click outside the window is not kept";
    sleep_plain(10);
    EXPECT_TRUE(player_left_game());
    EXPECT_FALSE(player_left_game()) << "leaving is told once";
    EXPECT_EQ(key_down(scan_escape), 0) << "a tap cut off by the focus loss is not kept";
}

TEST(Mouse, SetMouseClampsItsPosition) {
    test_screen screen;
    set_mouse(900, -5, -1, -1);
    int x, y, wheel, buttons, clip;
    ASSERT_EQ(get_mouse(x, y, wheel, buttons, clip), 0);
    EXPECT_EQ(x, 639);
    EXPECT_EQ(y, 0);
}

TEST(Sleeping, SleepsAddUpInVirtualTime) {
    test_screen screen({key(120, true, "a")});
    const std::uint64_t start = screen.platform().now_ms();
    sleep_plain(40);
    sleep_or_key(1);
    EXPECT_EQ(screen.platform().now_ms() - start, 41u);
    // A key press cuts a long sleep short at the next 50 ms step.
    sleep_or_key(300);
    EXPECT_EQ(screen.platform().now_ms() - start, 141u);
}

TEST(Sleeping, PollingWithoutSleepJumpsToTheNextEvent) {
    script_event release = at(5000, script_action::release);
    test_screen screen({release});
    report_mouse_button(0, true);
    int x, y, wheel, buttons = 1, clip;
    while (buttons != 0) get_mouse(x, y, wheel, buttons, clip);
    EXPECT_EQ(screen.platform().now_ms(), 5000u);
}

}  // namespace
