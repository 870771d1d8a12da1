#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "combat/combat.h"
#include "flow/flow_internal.h"
#include "state/direction_tables.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"
#include "test_screen.h"

namespace {

// Play as a fresh program's first game begins it, steered by the mouse.
class Flow : public ::testing::Test {
protected:
    test_screen screen;  // and every game value as the program starts
    void SetUp() override { start_game(); }
    // One frame's cursor and fire step with the mouse at (x, y).
    static void aim(int x, int y, bool fire) {
        mouse_present = -1;
        mouse_x = x;
        mouse_y = y;
        mouse_buttons = fire ? 1 : 0;
        steer_and_fire();
    }
    static std::vector<std::pair<int, int>> flight() {
        std::vector<std::pair<int, int>> positions;
        for (int i = 0; i < 8; ++i) {
            fly_shot();
            positions.emplace_back(shot_x, shot_y);
        }
        return positions;
    }
};

TEST_F(Flow, ShotFliesFromTheBottomCentreToTheTarget) {
    scroll_x = scroll_y = 0;
    aim(0, 0, true);
    EXPECT_EQ(flight(), (std::vector<std::pair<int, int>>{
                            {280, 416}, {240, 360}, {200, 296}, {160, 240}, {120, 176}, {80, 120}, {40, 56}, {0, 0}}));
    EXPECT_EQ(shot_active, -1);
    fly_shot();  // the ninth frame: the landing
    EXPECT_EQ(shot_active, 0);
    EXPECT_EQ(shot_landed, -1);
    EXPECT_EQ(shot_impact, -1);
    EXPECT_EQ(shot_missed, -1);

    fire_before = 0;
    scroll_x = 56;
    aim(632, 0, true);
    EXPECT_EQ(shot_target_x, 688);
    EXPECT_EQ(flight(),
              (std::vector<std::pair<int, int>>{
                  {408, 416}, {448, 360}, {488, 296}, {528, 240}, {568, 176}, {608, 120}, {648, 56}, {688, 0}}));
}

TEST_F(Flow, StraightUpShotKeepsItsColumn) {
    scroll_x = 32;
    scroll_y = 0;
    aim(320, 400, true);
    ASSERT_EQ(shot_active, -1);
    EXPECT_EQ(shot_dx, 0.0f);
    for (const auto& [x, y] : flight()) EXPECT_EQ(x, 352);
}

TEST_F(Flow, FiringNeedsAFreshPressAndNoShotInFlight) {
    aim(100, 100, true);
    EXPECT_EQ(shot_active, -1);
    flight();
    fly_shot();
    aim(100, 100, true);  // still held after the landing
    EXPECT_EQ(shot_active, 0);
    aim(100, 100, false);
    aim(100, 100, true);
    EXPECT_EQ(shot_active, -1);
    aim(100, 100, false);
    aim(100, 100, true);  // pressed again while in flight: lost
    fly_shot();
    EXPECT_EQ(shot_time, 2) << "the first shot flies on";
    shot_active = 0;
    fire_before = 0;
    defeated = -1;
    aim(100, 100, true);
    EXPECT_EQ(shot_active, 0) << "no firing during the collapse";
    defeated = 0;
    for (const int other_buttons : {2, 4, 6}) {
        aim(100, 100, false);
        mouse_buttons = other_buttons;
        steer_and_fire();
        EXPECT_EQ(shot_active, 0) << "only the left button fires, not buttons " << other_buttons;
    }
}

TEST_F(Flow, ANewGameStartsWithoutTheLastGamesShot) {
    // Fired, then quit from the dialog while the shot flew.
    aim(100, 100, true);
    fly_shot();
    ASSERT_EQ(shot_active, -1);
    start_game();
    EXPECT_EQ(shot_active, 0);
    EXPECT_EQ(shot_time, 0);
    EXPECT_EQ(fire_now, 0);
    fly_shot();
    EXPECT_EQ(shot_landed, 0) << "no landing, no miss";
    fire_before = 0;
    aim(500, 300, true);
    EXPECT_EQ(shot_active, -1) << "the first press of the new game fires";
}

TEST_F(Flow, ScrollFollowsTheCursorInEightPixelJumps) {
    const std::pair<int, int> x_steps[] = {{72, 0}, {80, 8}, {152, 8}, {160, 16}, {560, 56}, {632, 56}};
    for (const auto& [x, scroll] : x_steps) {
        aim(x, 0, false);
        EXPECT_EQ(scroll_x, scroll) << x;
    }
    const std::pair<int, int> y_steps[] = {{56, 0}, {64, 8}, {128, 16}, {448, 56}, {472, 56}};
    for (const auto& [y, scroll] : y_steps) {
        aim(0, y, false);
        EXPECT_EQ(scroll_y, scroll) << y;
    }
}

TEST_F(Flow, AFailedMouseReadFreezesTheCursor) {
    aim(200, 120, true);
    mouse_present = 0;
    mouse_buttons = -1;
    steer_and_fire();
    EXPECT_EQ(player_x, 200);
    EXPECT_EQ(player_y, 120);
    EXPECT_EQ(fire_now, -1);
}

TEST_F(Flow, KeyboardControlStepsAndStopsAtTheEdges) {
    keyboard_control = 1;
    player_x = 632;
    report_key(scan_right, true);
    aim(0, 0, false);
    EXPECT_EQ(player_x, 639);
    report_key(scan_right, false);
    report_key(scan_left, true);
    aim(0, 0, false);
    EXPECT_EQ(player_x, 631);
    report_key(scan_left, false);
    report_key(scan_space, true);
    aim(0, 0, false);
    EXPECT_EQ(fire_now, -1);
    report_key(scan_space, false);
    aim(0, 0, false);
    EXPECT_EQ(fire_now, 0);
    report_key(scan_ctrl, true);  // Ctrl fires as Space does
    aim(0, 0, false);
    EXPECT_EQ(fire_now, -1);
    report_key(scan_ctrl, false);
    player_x = 300;  // away from the edges every step counts in full
    player_y = 200;
    for (const int key : {scan_up, scan_right}) report_key(key, true);
    aim(0, 0, false);
    EXPECT_EQ(player_x, 308);
    EXPECT_EQ(player_y, 192);
    for (const int key : {scan_up, scan_right}) report_key(key, false);
}

// Band phases over frames, from the bands' state after a game start or a bonus stage's start.
std::vector<int> band_steps(int frames) {
    std::vector<int> step_frames;
    for (int f = 1; f <= frames; ++f) {
        const int before = band_phase;
        draw_play_field();
        if (band_phase != before) step_frames.push_back(f);
    }
    return step_frames;
}

TEST_F(Flow, BandsSpeedUpAfterAGameStarts) {
    EXPECT_EQ(band_steps(24), (std::vector<int>{8, 14, 18, 20, 21, 22, 23, 24}));
    EXPECT_EQ(bands_accelerating, 0);
}

TEST_F(Flow, BandsBrakeInFiftySevenFramesAndLetTheCarrierIn) {
    bonus_stage = -1;
    bands_accelerating = 0;
    bands_braking = -1;
    band_step_frames = 0;
    band_step_count = 0;
    const int start_phase = band_phase;
    EXPECT_EQ(band_steps(70), (std::vector<int>{1, 3, 7, 13, 21, 31, 43, 57}));
    EXPECT_EQ(bands_stopped, -1);
    EXPECT_EQ(band_phase, start_phase);
    EXPECT_EQ(carrier.active, -1);
    EXPECT_EQ(carrier.state, carrier_entering);
    EXPECT_EQ(background_index, 2);
}

TEST_F(Flow, BandsLieOnTheirRowsAndSkipRowsBelowTheGrid) {
    bands_accelerating = 0;
    bands_stopped = -1;
    band_phase = 0;
    scroll_y = 0;
    draw_play_field();
    std::vector<int> rows;
    for (int row = 1; row <= 60; ++row)
        if (test_screen::pixel(0, 100, 8 * (row - 1)) == 9) rows.push_back(row);
    EXPECT_EQ(rows, (std::vector<int>{34, 35, 37, 41, 46, 55}));
    EXPECT_EQ(test_screen::pixel(0, 100, 283), 1) << "the ground box between the bands";
    EXPECT_EQ(test_screen::pixel(0, 100, 263), 0) << "above it, the background";

    band_phase = 3;
    scroll_y = 56;
    draw_play_field();
    EXPECT_EQ(test_screen::pixel(0, 100, 8 * (27 - 1)), 9) << "the horizon moves up with the scroll";
    EXPECT_EQ(test_screen::pixel(0, 100, 235), 1);
}

TEST_F(Flow, CollapseCyclesTheSchemesBurstsAndEndsTheGame) {
    defeated = -1;
    background_index = 0;
    std::vector<int> schemes;
    std::vector<int> burst_frames;
    for (int f = 1; f <= 50; ++f) {
        ASSERT_EQ(frame_outcome, 0) << f;
        for (effect& e : effects) e.active = 0;
        draw_play_field();
        if (f <= 4) schemes.push_back(background_index);
        int started = 0;
        for (const effect& e : effects) started += e.active != 0;
        if (started > 0) {
            EXPECT_EQ(started, 4);
            burst_frames.push_back(f);
        }
    }
    EXPECT_EQ(schemes, (std::vector<int>{1, 2, 0, 1}));
    EXPECT_EQ(frame_outcome, 1);
    ASSERT_GE(burst_frames.size(), 8u);
    EXPECT_EQ(burst_frames[0], 1);
    for (std::size_t i = 1; i < burst_frames.size(); ++i) {
        EXPECT_GE(burst_frames[i] - burst_frames[i - 1], 5);
        EXPECT_LE(burst_frames[i] - burst_frames[i - 1], 7);
    }
}

// Calm, the collapse keeps the scheme the defeat came in, and draws it so;
// its bursts start when and where they would have, and it ends the game.
TEST_F(Flow, CalmTheCollapseKeepsItsSchemeAndItsBursts) {
    const auto collapse = [](std::int32_t calm) {
        restart_random_sequence();
        calm_mode = calm;
        defeated = -1;
        defeat_frames = burst_countdown = 0;
        frame_outcome = outcome_play_on;
        background_index = 1;
        scroll_y = 0;
        std::vector<std::vector<int>> frames;  // the scheme, the ground's colour, where bursts start
        for (int f = 1; f <= 50; ++f) {
            for (effect& e : effects) e.active = 0;
            draw_play_field();
            frames.push_back({background_index, test_screen::pixel(0, 100, 410)});  // row 52: never a band
            for (const effect& e : effects)
                if (e.active) frames.back().insert(frames.back().end(), {e.x, e.y});
        }
        EXPECT_EQ(frame_outcome, outcome_game_over);
        return frames;
    };
    const auto flashing = collapse(0), calm = collapse(-1);
    EXPECT_NE(flashing[0][0], 1);
    for (std::size_t f = 0; f < calm.size(); ++f) {
        EXPECT_EQ(calm[f][0], 1) << f;
        EXPECT_EQ(calm[f][1], 2) << "the meadow's ground, frame " << f;
        EXPECT_EQ(std::vector<int>(calm[f].begin() + 2, calm[f].end()),
                  std::vector<int>(flashing[f].begin() + 2, flashing[f].end()))
            << f;
    }
}

TEST_F(Flow, SchemesFollowTheStage) {
    bonus_stage = 0;
    stage = 1;
    draw_play_field();
    EXPECT_EQ(background_index, 0);
    stage = 2;
    draw_play_field();
    EXPECT_EQ(background_index, 1);
    bonus_stage = -1;
    draw_play_field();
    EXPECT_EQ(background_index, 2);
}

TEST(DirectionTables, HoldFiveSinesAndFourCosines) {
    fill_direction_tables();
    EXPECT_EQ(sin_table[0], 0.0f);
    EXPECT_EQ(sin_table[90], 5.0f);
    EXPECT_EQ(cos_table[0], 4.0f);
    EXPECT_EQ(cos_table[180], -4.0f);
    EXPECT_EQ(sin_table[30], 2.5f);
    // The stored degree is a hair above pi/180, so 360 steps overshoot a full turn.
    EXPECT_GT(sin_table[360], 0.0f);
    EXPECT_LT(sin_table[360], 1e-12f);
    for (int d = 150; d <= 214; ++d) EXPECT_LT(cos_table[d], -3.0f) << d;
}

}  // namespace
