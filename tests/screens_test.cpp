#include "screens/screens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets/assets.h"
#include "combat/combat.h"
#include "present/input.h"
#include "state/program_state.h"
#include "test_screen.h"

namespace {

script_event event(std::uint64_t ms, script_action action, int a = 0, int b = 0) {
    script_event e{};
    e.ms = ms;
    e.action = action;
    if (action == script_action::move) {
        e.x = a;
        e.y = b;
    } else {
        e.button_bit = a;
    }
    return e;
}

class Screens : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test_screen loading;
        load_graphics();
    }
    static void TearDownTestSuite() { free_graphics(); }
};

struct pause_case {
    const char* what;
    std::vector<script_event> input;
    std::int32_t outcome;
};

TEST_F(Screens, ThePauseDialogIsAnsweredByKeysAndClicks) {
    const script_event left_down = event(50, script_action::press, 0), left_up = event(60, script_action::release, 0);
    const pause_case cases[] = {
        {"y", {key(20, true, "y")}, -1},
        {"Y", {key(20, true, "y", "Y")}, -1},
        {"n", {key(20, true, "n")}, 0},
        {"Escape", {key(20, true, "esc"), key(30, false, "esc")}, 0},
        {"close button", {event(20, script_action::close)}, 0},
        {"Left arrow", {key(20, true, "left")}, 0},
        {"middle button", {event(20, script_action::press, 2), event(30, script_action::release, 2)}, 0},
        {"click on Y", {event(20, script_action::move, 364, 166), left_down, left_up}, -1},
        {"click on N", {event(20, script_action::move, 456, 160), left_down, left_up}, 0},
        {"click on N's right edge",
         {event(20, script_action::move, 496, 200), left_down, left_up, key(100, true, "y")},
         0},
        {"click elsewhere, then n",
         {event(20, script_action::move, 320, 160), left_down, left_up, key(100, true, "n")},
         0},
    };
    for (const pause_case& c : cases) {
        test_screen screen(c.input);  // mouse control, as a fresh program has it
        std::int32_t outcome = 2;
        pause_screen(outcome);
        EXPECT_EQ(outcome, c.outcome) << c.what;
        if (std::string(c.what) == "click elsewhere, then n") {
            EXPECT_GE(screen.platform().now_ms(), 100u) << "a click outside Y and N does not answer";
        }
    }
}

// Y or N lights up in colour 4 under the pointer, and only there; the
// pointer points at the lit letter from beside it and never covers it.
TEST_F(Screens, ThePointerLightsUpTheAnswerItIsOverAndLeavesItWhole) {
    const auto lit_pixels = [](int x) {
        int count = 0;
        for (int y = 152; y < 208; ++y)
            for (int dx = 0; dx < 48; ++dx) count += read_pixel(nullptr, x + dx, y) == 4;
        return count;
    };
    const auto glyph_pixels = [](char c) {
        int count = 0;
        for (std::uint32_t y = 0; y < glyph_images[static_cast<int>(c)]->height; ++y)
            for (std::uint32_t x = 0; x < glyph_images[static_cast<int>(c)]->width; ++x)
                count += read_pixel(glyph_images[static_cast<int>(c)], x, y) != 0;
        return count;
    };
    for (const auto& [pointer_x, lit_y, lit_n] :
         {std::tuple{360, true, false}, {456, false, true}, {200, false, false}}) {
        test_screen screen({event(10, script_action::move, pointer_x, 200), key(30, true, "n")});
        std::int32_t outcome = 2;
        pause_screen(outcome);
        EXPECT_EQ(lit_pixels(360) > 0, lit_y) << pointer_x;
        EXPECT_EQ(lit_pixels(456) > 0, lit_n) << pointer_x;
    }
    for (const auto& [letter, letter_x, left, right] : {std::tuple{'Y', 360, 352, 392}, {'N', 456, 448, 496}})
        for (int y = 152; y <= 200; y += 8)
            for (int x = left; x <= right; x += 8) {
                test_screen screen({event(10, script_action::move, x, y), key(30, true, "n")});
                std::int32_t outcome = 2;
                pause_screen(outcome);
                EXPECT_EQ(lit_pixels(letter_x), glyph_pixels(letter))
                    << letter << " with the pointer at " << x << ", " << y;
            }
}

TEST_F(Screens, ThePausePointerStaysInTheDialogAndReturnsAfterwards) {
    test_screen screen(
        {event(0, script_action::move, 100, 100), event(5, script_action::move, 75, 470), key(20, true, "n")});
    std::int32_t outcome = 2;
    pause_screen(outcome);
    // The pointer moved to (75, 470) was held at the dialog's limits, (72, 264):
    // its sprite is drawn there.
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            if (read_pixel(sprite_images[sprite_pause_pointer], x, y) != 0) {
                ASSERT_EQ(read_pixel(nullptr, 72 - 64 + x, 264 - 64 + y), 15) << x << ", " << y;
            }
        }
    int x, y, wheel, buttons, clip;
    ASSERT_EQ(get_mouse(x, y, wheel, buttons, clip), 0);
    EXPECT_EQ(x, 100) << "the pointer is back where the pause found it";
    EXPECT_EQ(y, 100);
}

TEST_F(Screens, TheOpeningAndInstructionsRunTheirFramesOrAreSkipped) {
    {
        test_screen screen;
        opening_sequence();
        EXPECT_EQ(screen.platform().now_ms(), (240u + 266u) * 40);
    }
    {
        // Escape read in the opening's 10th frame ends it; a left click does not.
        test_screen screen({event(0, script_action::press, 0), event(5, script_action::release, 0),
                            key(9 * 40, true, "esc"), key(500, false, "esc"), key(600, true, "esc"),
                            key(601, false, "esc")});
        opening_sequence();
        // 10 opening frames, the wait for Escape's release until 500 ms, then
        // the instructions up to their 4th frame, the first to read 600 ms.
        // The wait for release after it sees the tap, up again since 601 ms
        // but never read as held, once: one more 1 ms sleep.
        EXPECT_EQ(screen.platform().now_ms(), 500u + 4 * 40 + 1);
    }
}

TEST_F(Screens, ResultsLastTheirFramesWhateverIsPressed) {
    for (const bool pressing : {false, true}) {
        std::vector<script_event> input;
        if (pressing)
            input = {key(100, true, "a"), key(200, false, "a"), event(300, script_action::press, 0),
                     event(400, script_action::release, 0)};
        test_screen screen(input);
        score = 1234;
        max_chain = 7;
        spawn_effect(0, 0);
        results_screen();
        EXPECT_EQ(screen.platform().now_ms(), (219u + 100u) * 40) << (pressing ? "with input" : "without input");
        EXPECT_EQ(effects[0].active, -1) << "the last explosions outlive their drawing";
    }
}

TEST_F(Screens, TheEndingIsSkippedByTheMiddleButton) {
    test_screen screen({event(9000, script_action::press, 2), event(9100, script_action::release, 2)});
    results_screen();
    // The results take 8760 ms; the ending's frame reading 9000 ms is its 7th.
    EXPECT_EQ(screen.platform().now_ms(), 8760u + 7 * 40);
}

struct title_case {
    const char* what;
    std::vector<script_event> input;
    std::int32_t quit;
    std::int32_t keyboard;
};

TEST_F(Screens, TheTitleStartsOnTheLeftButtonAndQuitsOnEscapeCloseOrMiddle) {
    const title_case cases[] = {
        {"left click", {event(100, script_action::press, 0)}, 0, 0},
        {"Escape", {key(100, true, "esc")}, -1, -1},
        {"close button", {event(100, script_action::close)}, -1, -1},
        {"middle button", {event(100, script_action::press, 2)}, -1, -1},
        {"Escape and left together", {event(100, script_action::press, 0), key(100, true, "esc")}, -1, 0},
        {"left outside the window",
         {event(50, script_action::leave), event(100, script_action::press, 0), key(200, true, "esc")},
         -1,
         -1},
    };
    for (const title_case& c : cases) {
        test_screen screen(c.input);
        keyboard_control = c.keyboard ? 0 : -1;  // the title decides, whatever the last game had
        EXPECT_EQ(title_screen(), c.quit) << c.what;
        EXPECT_EQ(keyboard_control, c.keyboard) << c.what;
    }
}

}  // namespace
