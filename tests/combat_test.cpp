#include "combat/combat.h"

#include <gtest/gtest.h>

#include <cstring>

#include "assets/assets.h"
#include "combat/combat_internal.h"
#include "flow/flow_internal.h"
#include "state/play_state.h"
#include "state/view.h"
#include "test_screen.h"

namespace {

class Combat : public ::testing::Test {
protected:
    test_screen screen;  // and every game value as the program starts
    static void SetUpTestSuite() {
        test_screen loading;
        load_graphics();  // the tests run in the game folder
    }
    static void TearDownTestSuite() { free_graphics(); }
    // A fresh program's first game, its stage banner gone and the bands up to speed.
    void SetUp() override {
        start_game();
        banner_slots[0].active = 0;
        bands_accelerating = 0;
    }
    // A squid flying from (x, y) with the given age, about to move by (dx, dy).
    static squid& flying(int i, float x, float y, int age, float dx = 0, float dy = 0, int kind = 0) {
        squid& s = squids[i];
        s = squid{};
        s.state = squid_flying;
        s.kind = kind;
        s.x = x;
        s.y = y;
        s.age = age;
        s.dx = dx;
        s.dy = dy;
        return s;
    }
    static void land_shot_at(int x, int y) {
        shot_impact = shot_missed = shot_landed = -1;
        chain_hit = 0;
        shot_target_x = x;
        shot_target_y = y;
    }
    static int pixels_of_colour(int colour, int x1, int y1, int x2, int y2) {
        int n = 0;
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x) n += read_pixel(nullptr, x, y) == colour;
        return n;
    }
};

TEST_F(Combat, GameStartSetsTheFirstWave) {
    EXPECT_EQ(squid_count, 3);
    EXPECT_EQ(kills_left, 6);
    EXPECT_EQ(energy, 100);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(squids[i].state, squid_waiting);
        EXPECT_EQ(squids[i].launch_timer, 30 * i + 10);
    }
}

TEST_F(Combat, SquidsWaitWhileABannerShowsOrTheBandsSpeedUp) {
    show_banner(0, 0, "X", 4, 3);
    run_squid_pass();
    EXPECT_EQ(squids[0].launch_timer, 10);
    banner_slots[0].active = 0;
    bands_accelerating = -1;
    run_squid_pass();
    EXPECT_EQ(squids[0].launch_timer, 10);
    bands_accelerating = 0;
    for (int f = 0; f < 10; ++f) run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_launching);
    EXPECT_EQ(squids[1].launch_timer, 30);
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_flying);
    EXPECT_EQ(squids[0].x, 344.0f);  // the first move comes a frame later
    EXPECT_GE(squids[0].heading, 150);
    EXPECT_LE(squids[0].heading, 214);
    EXPECT_EQ(squids_in_flight, 1);
}

TEST_F(Combat, EscapesCostEnergyUntilTheOneThatDefeats) {
    energy = 5;
    flying(0, -63.5f, 280, 50, -0.5f);
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_waiting);
    EXPECT_EQ(squids[0].launch_timer, 30);
    EXPECT_EQ(energy, 0);
    EXPECT_EQ(defeated, 0);
    flying(0, 751.0f, 280, 50, 1.0f);
    run_squid_pass();
    EXPECT_EQ(defeated, -1);
    EXPECT_EQ(energy, 0);

    defeated = 0;
    energy = 50;
    flying(0, 751.0f, 280, 50, 1.0f);
    run_squid_pass();
    EXPECT_EQ(energy, 45) << "an escape bites five";
    energy = 50;
    squids_in_flight = 1;
    flying(1, 700, 280, 50, 60.0f, 0, 1);  // a supply
    run_squid_pass();
    EXPECT_EQ(energy, 50);
    EXPECT_EQ(squids_in_flight, 0);
}

TEST_F(Combat, PointsFallWithTheSquidsGrowth) {
    const std::pair<int, int> cases[] = {{26, 400}, {27, 300}, {111, 0}};  // age before the move
    for (const auto& [age, points] : cases) {
        score = 0;
        flying(0, 344, 280, age);
        land_shot_at(344, 280);
        run_squid_pass();
        EXPECT_EQ(score, points) << "age " << age + 1;
        EXPECT_EQ(squids[0].state, squid_exploding);
        EXPECT_EQ(chain_hit, -1);
        EXPECT_EQ(shot_missed, 0);
    }
}

TEST_F(Combat, TheHitBoxGrowsWithAge) {
    flying(0, 344, 280, 19);  // h = 10 after the move
    land_shot_at(354, 280);
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_flying) << "the edge is outside";
    land_shot_at(353, 294);
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_flying) << "the bottom edge, 280 + 10 + 4, is outside";
    land_shot_at(353, 294);
    run_squid_pass();  // age 22: h = 11, y reaches 280 + 11 + 4
    EXPECT_EQ(squids[0].state, squid_exploding);
}

TEST_F(Combat, OneShotKillsOnlyTheLowestIndex) {
    flying(0, 300, 200, 40);
    flying(1, 300, 200, 40);
    land_shot_at(300, 200);
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_exploding);
    EXPECT_EQ(squids[1].state, squid_flying);
    EXPECT_EQ(kills_left, 5);
}

TEST_F(Combat, ACapturedSupplyHealsAndKeepsTheChain) {
    energy = 50;
    flying(2, 344, 280, 40, 0, 0, 1);
    land_shot_at(344, 280);
    run_combat_pass();
    EXPECT_EQ(energy, 60) << "a supply heals ten";

    energy = 95;
    score = 0;
    chain = 4;
    flying(2, 344, 280, 40, 0, 0, 1);
    land_shot_at(344, 280);
    run_combat_pass();
    EXPECT_EQ(energy, 100) << "up to full energy and no further";
    EXPECT_EQ(score, 10);
    EXPECT_EQ(chain, 4);
    EXPECT_EQ(kills_left, 6);
}

TEST_F(Combat, AnExplosionLastsSixteenFramesThenTheSquidRelaunches) {
    flying(0, 344, 280, 40);
    squids_in_flight = 1;
    land_shot_at(344, 280);
    run_squid_pass();
    shot_impact = 0;
    for (int f = 1; f < 16; ++f) {
        run_squid_pass();
        EXPECT_EQ(squids[0].state, squid_exploding);
        EXPECT_EQ(squids[0].frame, f);
    }
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_waiting);
    EXPECT_EQ(squids_in_flight, 0);
    run_squid_pass();
    EXPECT_EQ(squids[0].state, squid_launching);
}

TEST_F(Combat, AMissPaysOutTheChain) {
    chain = 7;
    land_shot_at(0, 0);
    run_combat_pass();
    EXPECT_EQ(score, 700);
    EXPECT_EQ(max_chain, 7);
    EXPECT_EQ(chain, 0);
    EXPECT_EQ(popup.text, "+0700");
    EXPECT_EQ(popup.timer, 9);

    popup.active = 0;
    chain = 100;
    land_shot_at(0, 0);
    run_combat_pass();
    EXPECT_EQ(popup.text, "+0000");
    EXPECT_EQ(score, 10700);
    EXPECT_EQ(max_chain, 100);

    land_shot_at(0, 0);  // nothing to pay
    run_combat_pass();
    EXPECT_EQ(score, 10700);
}

TEST_F(Combat, ScoreStopsAtItsCeiling) {
    score = 99'999'900;
    flying(0, 344, 280, 5);
    land_shot_at(344, 280);
    run_squid_pass();
    EXPECT_EQ(score, 99'999'990);
}

TEST_F(Combat, StagesGoOneTwoBonusThree) {
    stage = 1;
    quota_reached = -1;
    squids_in_flight = 0;
    run_combat_pass();
    EXPECT_EQ(stage, 2);
    EXPECT_EQ(squid_count, 4);
    EXPECT_EQ(kills_left, 8);
    EXPECT_EQ(banner_slots[0].text, "STAGE 02");
    EXPECT_EQ(bonus_stage, 0);

    quota_reached = -1;
    run_combat_pass();
    EXPECT_EQ(bonus_stage, -1);
    EXPECT_EQ(stage, 2);
    EXPECT_EQ(squid_count, 4);
    EXPECT_EQ(banner_slots[1].text, "BONUS STAGE") << "the first slot still shows the stage banner";
    EXPECT_EQ(bands_braking, -1);

    quota_reached = -1;
    run_combat_pass();
    EXPECT_EQ(stage, 3);
    EXPECT_EQ(bonus_stage, 0);
    EXPECT_EQ(target_marker_hidden, -1);
    EXPECT_EQ(squid_count, 5);
    EXPECT_EQ(kills_left, 10);
    EXPECT_EQ(bands_accelerating, -1);
    EXPECT_EQ(band_step_frames, 8);
}

TEST_F(Combat, NoStageChangeWhileASquidIsOutOrThePlayerIsDefeated) {
    quota_reached = -1;
    squids_in_flight = 1;
    run_combat_pass();
    EXPECT_EQ(stage, 1);
    squids_in_flight = 0;
    defeated = -1;
    run_combat_pass();
    EXPECT_EQ(stage, 1);
    defeated = 0;
    stage = 99;
    squid_count = 10;
    run_combat_pass();
    EXPECT_EQ(banner_slots[0].text, "STAGE 00");
    EXPECT_EQ(squid_count, 10);
}

TEST_F(Combat, EffectsPoolAndLifetime) {
    spawn_effect(13, -3);
    EXPECT_EQ(effects[0].x, 8);
    EXPECT_EQ(effects[0].y, -8);
    for (int i = 1; i < 17; ++i) spawn_effect(i * 8, 0);
    EXPECT_EQ(effects[15].x, 120) << "the seventeenth effect found no slot";
    for (effect& e : effects) e.active = 0;
    spawn_effect(100, 100);
    std::vector<int> frames;
    while (effects[0].active) {
        update_effects();
        frames.push_back(effects[0].frame);
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 1, 2, 2, 2, 3, 3, 3, 3}));
}

TEST_F(Combat, ABannerShowsTwentyFourFramesThenHoldsFiveMore) {
    show_banner(144, 104, "STAGE 02", 4, 30);
    int shown = 0, held = 0;
    for (int f = 1; f <= 30; ++f) {
        draw_filled_box(nullptr, 0, 0, 639, 479, 0);
        run_banner_slots();
        const bool drawn = pixels_of_colour(4, 144, 104, 600, 160) > 0;
        shown += drawn;
        held += !drawn && banner_slots[0].active;
        if (f <= 24) {
            EXPECT_TRUE(drawn) << f;
        }
    }
    EXPECT_EQ(shown, 24);
    EXPECT_EQ(held, 5);
    EXPECT_EQ(banner_slots[0].active, 0);
}

TEST_F(Combat, ThePopupDropsANewMessageWhileBusy) {
    show_popup(424, 352, "+0300", 15, 10);
    show_popup(424, 352, "+0900", 15, 10);
    EXPECT_EQ(popup.text, "+0300");
    int shown = 0;
    for (int f = 1; f <= 10; ++f) {
        draw_filled_box(nullptr, 0, 0, 639, 479, 0);
        run_popup();
        shown += pixels_of_colour(15, 424, 352, 639, 420) > 0;
    }
    EXPECT_EQ(shown, 9);
}

TEST_F(Combat, TheGaugeFillsOneCellPerFiveEnergy) {
    for (const auto& [level, cells] : {std::pair{100, 20}, {96, 20}, {95, 19}, {5, 1}, {3, 1}, {0, 0}}) {
        energy = level;
        draw_status();
        int filled = 0;
        for (int column = 59; column <= 78; ++column) filled += read_pixel(nullptr, 8 * (column - 1) + 3, 19) == 14;
        EXPECT_EQ(filled, cells) << level;
        EXPECT_EQ(read_pixel(nullptr, 8 * 57 + 3, 19), 15) << "the gauge's frame";
    }
}

TEST_F(Combat, CarrierComesDownHoversAndLeaves) {
    bonus_stage = -1;
    carrier.active = -1;
    carrier.state = carrier_entering;
    carrier.spring_toggle = 0;
    run_carrier_pass();
    EXPECT_EQ(carrier.cell_y, -30);
    int frames = 0;
    while (carrier.state == carrier_descending) {
        run_carrier_pass();
        ++frames;
    }
    EXPECT_EQ(frames, 38);
    EXPECT_EQ(carrier.cell_y, 8);
    int lowest = 8, highest = 8, max_x = 0, min_x = 99;
    for (int f = 0; f < 160; ++f) {
        run_carrier_pass();
        lowest = std::min(lowest, carrier.cell_y);
        highest = std::max(highest, carrier.cell_y);
        max_x = std::max(max_x, carrier.cell_x);
        min_x = std::min(min_x, carrier.cell_x);
    }
    EXPECT_EQ(carrier.state, carrier_leaving);
    EXPECT_EQ(lowest, 7);
    EXPECT_EQ(highest, 15);
    EXPECT_EQ(carrier.cell_y, 8);
    EXPECT_EQ(max_x, 70);
    EXPECT_GE(min_x, 16);
    frames = 0;
    while (carrier.active) {
        run_carrier_pass();
        ++frames;
    }
    EXPECT_EQ(frames, 59) << "58 rows up, then gone";
    EXPECT_EQ(quota_reached, -1);
}

TEST_F(Combat, AHatchShowsItsItemFourFramesThenDropsIt) {
    carrier.active = -1;
    carrier.state = carrier_leaving;  // no new hatches open
    carrier.cell_x = 43;
    carrier.cell_y = 8;
    carrier.hatch_open[2] = -1;
    carrier.hatch_timer[2] = 5;
    carrier.hatch_kind[2] = 1;
    carrier.hatch_variety[2] = 0;
    for (int f = 0; f < 4; ++f) run_carrier_pass();
    EXPECT_EQ(carrier.hatch_open[2], -1);
    run_carrier_pass();
    EXPECT_EQ(carrier.hatch_open[2], 0);
    EXPECT_EQ(drops[0].active, -1);
    EXPECT_EQ(drops[0].cell_x, 49);
    EXPECT_EQ(drops[0].kind, 1);
}

TEST_F(Combat, DropsFallFasterAfterSixteenFramesAndAreCaughtByTheirBoxes) {
    drops[0] = drop{drop_falling, 0, 1, -1, 40, 10, 15, 0};
    run_drop_pass();
    EXPECT_EQ(drops[0].cell_y, 11);
    run_drop_pass();
    EXPECT_EQ(drops[0].cell_y, 13);

    // A squid is caught a little further left than a supply.
    drops[0] = drop{drop_falling, 0, 0, -1, 40, 9, 0, 0};
    land_shot_at(40 * 8 - 55, 80);
    run_drop_pass();
    EXPECT_EQ(drops[0].state, drop_exploding);
    EXPECT_EQ(chain_hit, -1);
    EXPECT_EQ(score, 100);
    drops[1] = drop{drop_falling, 1, 0, -1, 40, 9, 0, 0};
    land_shot_at(40 * 8 - 48, 80);
    run_drop_pass();
    EXPECT_EQ(drops[1].state, drop_falling);
    land_shot_at(40 * 8 - 47, 80);
    run_drop_pass();
    EXPECT_EQ(drops[1].state, drop_exploding);
    EXPECT_EQ(chain_hit, 0);

    for (int f = 0; f < 14; ++f) run_drop_pass();
    EXPECT_EQ(drops[0].active, 0) << "freed after blast frame 15";
}

TEST_F(Combat, AFullDropTableLosesTheItem) {
    for (drop& d : drops) d = drop{drop_falling, 0, 0, -1, 40, 0, 0, 0};
    carrier.active = -1;
    carrier.state = carrier_leaving;
    carrier.hatch_open[0] = -1;
    carrier.hatch_timer[0] = 1;
    run_carrier_pass();
    EXPECT_EQ(carrier.hatch_open[0], 0);
    for (const drop& d : drops) EXPECT_EQ(d.cell_y, 0);
}

}  // namespace
