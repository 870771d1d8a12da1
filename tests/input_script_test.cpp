#include "present/input_script.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>

namespace {

bool parse(const std::string& text, std::vector<script_event>& events, std::string& error) {
    std::istringstream in(text);
    script_contents script;
    const bool parsed = parse_script(in, script, error);
    events = script.events;
    return parsed;
}

TEST(Script, ReadsEveryKindOfEvent) {
    std::vector<script_event> events;
    std::string error;
    ASSERT_TRUE(
        parse("# a comment\n"
              "0 move 639 479\n"
              "\n"
              "10 press left   # fire\n"
              "10 release middle\n"
              "20 keydown esc\n"
              "20 keyup f10\n"
              "30 keydown q\n"
              "30 keydown 0\n"
              "30 keydown left\n"
              "30 keydown ctrl\n"
              "40 close\n"
              "45 hold comma\n"
              "45 type ff48\n"
              "50 focus out\n"
              "50 leave\n",
              events, error))
        << error;
    ASSERT_EQ(events.size(), 14u);
    EXPECT_EQ(events[0].x, 639);
    EXPECT_EQ(events[1].action, script_action::press);
    EXPECT_EQ(events[2].button_bit, 2);
    EXPECT_EQ(events[3].scan_code, 1);
    EXPECT_EQ(events[3].key_press(), "\x1b");
    EXPECT_EQ(events[4].scan_code, 68);
    EXPECT_EQ(events[5].scan_code, 16);
    EXPECT_EQ(events[5].key_press(), "q");
    EXPECT_EQ(events[6].scan_code, 11);
    EXPECT_EQ(events[7].key_press(), "\xffK");
    EXPECT_EQ(events[8].key_press(), "");
    EXPECT_EQ(events[9].action, script_action::close);
    EXPECT_EQ(events[10].action, script_action::key_down);
    EXPECT_EQ(events[10].scan_code, 51);
    EXPECT_EQ(events[10].key_press(), "") << "a held key types nothing";
    EXPECT_EQ(events[11].action, script_action::type);
    EXPECT_EQ(events[11].key_press(), "\xffH");
    EXPECT_EQ(events[12].action, script_action::focus_out);
    EXPECT_EQ(events[13].ms, 50u);
}

TEST(Script, NamesTheLineOfAMistake) {
    const char* bad[] = {
        "0 move 640 0", "0 move 0 480", "0 move 1",   "0 press thumb",     "0 keydown f13",      "0 keydown shift",
        "0 jump",       "x move 1 1",   "-5 close",   "0 focus maybe",     "0 close now",        "0 keydown f01",
        "0 move 1 1 1", "0 best",       "0 best --1", "0 best 2147483648", "0 best -2147483649", "0 best 5 5",
        "1 best 5",     "0 type 7",     "0 type zz",  "0 type 123456",     "0 type 79 7a",       "0 hold",
        "0 calm 1",     "1 calm",
    };
    for (const char* line : bad) {
        std::vector<script_event> events;
        std::string error;
        EXPECT_FALSE(parse(std::string("0 leave\n") + line + "\n", events, error)) << line;
        EXPECT_EQ(error.rfind("line 2: ", 0), 0u) << error;
    }
    std::vector<script_event> events;
    std::string error;
    EXPECT_FALSE(parse("10 leave\n9 leave\n", events, error));
    EXPECT_NE(error.find("backwards"), std::string::npos);
    for (const char* twice : {"0 best 1\n0 best 2\n", "0 calm\n0 best 1\n0 calm\n"}) {
        EXPECT_FALSE(parse(twice, events, error)) << twice;
        EXPECT_NE(error.find("twice"), std::string::npos) << error;
    }
}

// What a recording says besides its events: who made it, the best score it
// began with and whether it was played calm; a script without them says nothing.
TEST(Script, ReadsARecordingsHeader) {
    std::istringstream recording(
        "# korvane 1.2.3 recording, 2026-12-09 01:00:00 UTC\n# command line: korvane --record r\n"
        "0 move 5 5\n0 best 4200 # from hiscore.txt\n0 " +
        format_calm() + "\n40 press left\n");
    script_contents script;
    std::string error;
    ASSERT_TRUE(parse_script(recording, script, error)) << error;
    EXPECT_EQ(script.recorded_by, "1.2.3");
    EXPECT_EQ(script.best_at_start, 4200);
    EXPECT_TRUE(script.calm);
    ASSERT_EQ(script.events.size(), 2u);
    EXPECT_EQ(script.events[1].ms, 40u);

    std::istringstream plain("0 move 5 5\n# korvane 1.2.3 recording\n");
    script_contents other;
    ASSERT_TRUE(parse_script(plain, other, error)) << error;
    EXPECT_EQ(other.recorded_by, "");
    EXPECT_FALSE(other.best_at_start);
    EXPECT_FALSE(other.calm);

    // Every best the score file can hold, the lowest included.
    for (const std::int32_t best : {INT32_MIN, -20, 0, INT32_MAX}) {
        std::istringstream with_best("0 best " + std::to_string(best) + "\n");
        script_contents read;
        ASSERT_TRUE(parse_script(with_best, read, error)) << error;
        EXPECT_EQ(read.best_at_start, best);
    }
}

}  // namespace
