// Jumping in a watched replay: the game played again from its start without
// drawing, drawing only the stretch the picture at the moment jumped to
// needs, shows exactly what drawing all the way there shows.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "assets/assets.h"
#include "flow/flow.h"
#include "present/headless_platform.h"
#include "present/replay_timeline.h"
#include "present/screen.h"
#include "programs/recordings.h"
#include "programs/replay_survey.h"
#include "screens/screens.h"
#include "sound/recording_sound_library.h"
#include "sound/sound.h"
#include "test_screen.h"

namespace fs = std::filesystem;

namespace {

char program_name[] = "korvane", quiet[] = "nosound";
char* game_args[] = {program_name, quiet, nullptr};

script_contents read_replay(const char* name) {
    std::ifstream in(fs::path(KORVANE_SOURCE_DIR) / "tests/replays" / name, std::ios::binary);
    script_contents script;
    std::string error;
    EXPECT_TRUE(parse_script(in, script, error)) << name << ": " << error;
    return script;
}

struct picture {
    std::vector<std::uint8_t> pixels;
    std::vector<std::uint8_t> palette;
    bool operator==(const picture&) const = default;
};

struct run_end {
    picture shown;     // at the moment asked for
    page_marks pages;  // as the run left them
};

// The recording played from its start to ms, drawn as planned (from 0: all
// the way), on the pages' pixels as the last run left them or on a fresh
// screen; as the window plays it after a jump.
run_end play_to(const script_contents& script, std::uint64_t ms, const redrawing& plan, bool on_last_pixels) {
    const std::uint64_t draw_from_ms = plan.from_ms;
    reset_game_state();
    keep_hi_score_apart(script.best_at_start);
    headless_platform platform(script.events, {{ms, "shot"}}, ms + 1);
    run_end end;
    platform.on_shot_due([&end](const screenshot_request&, const std::uint8_t* pixels, const rgb* palette) {
        end.shown.pixels.assign(pixels, pixels + screen_width * screen_height);
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(palette);
        end.shown.palette.assign(bytes, bytes + 256 * sizeof(rgb));
    });
    platform.on_sleep([draw_from_ms](std::uint64_t wake_ms) {
        if (wake_ms >= draw_from_ms && !drawing()) set_drawing(true);
    });
    recording_sound_library sound;
    use_sound_library(&sound);
    install_platform(&platform);
    if (on_last_pixels) keep_pixels_at_next_open();
    set_drawing(draw_from_ms == 0);
    try {
        run_program(2, game_args, false);
    } catch (const headless_run_over&) {
    }
    set_drawing(true);
    forget_pages(plan.forgotten);
    end.pages = current_page_marks();
    free_graphics();
    install_platform(nullptr);
    use_sound_library(nullptr);
    return end;
}

}  // namespace

TEST(ReplaySeek, AJumpDrawsOnlyWhatItNeedsAndShowsWhatDrawingAllTheWayShows) {
    for (const char* name : {"every-screen.script", "autoplay-two-bonus-stages-to-stage-6.script"}) {
        const script_contents script = read_replay(name);
        reset_game_state();
        keep_hi_score_apart(script.best_at_start);
        const replay_timeline timeline = survey_replay(script.events, 2, game_args);
        ASSERT_GT(timeline.length_ms(), script.events.back().ms) << name;
        // Watched from the start to a moment, then a jump forward or back,
        // then another from there.
        const std::uint64_t step = timeline.length_ms() / 11;
        run_end watched = play_to(script, step, {0, 0}, false);
        int short_stretches = 0, jumps = 0;
        // Then to a game's start, where the story picture before it is no
        // longer needed, and back into the story, where it is.
        const std::uint64_t game = timeline.next_game_start(0);
        for (const std::uint64_t to :
             {4 * step, 2 * step + 777, 9 * step, 9 * step + 10'000, 5 * step + 40, 7 * step, game, game / 4}) {
            const redrawing plan = timeline.draw_from(to, watched.pages);
            const std::uint64_t from = plan.from_ms;
            ASSERT_LE(from, to);
            ++jumps;
            if (to - from < 2000) ++short_stretches;
            if (to == game) {
                EXPECT_LT(to - from, 2000u) << name << ": the story picture drawn again";
            }
            const run_end jumped = play_to(script, to, plan, true);
            const run_end whole = play_to(script, to, {0, 0}, false);
            ASSERT_FALSE(whole.shown.pixels.empty()) << name << " at " << to;
            EXPECT_TRUE(jumped.shown == whole.shown) << name << " at " << to << " drawn from " << from;
            // The pages left undrawn are marked so, so the next jump draws them.
            for (int page = 0; page < screen_pages; ++page) {
                page_mark expected = whole.pages[page];
                expected.pixels_unknown = (plan.forgotten & (1u << page)) != 0;
                EXPECT_EQ(jumped.pages[page], expected) << name << " at " << to << ", page " << page;
            }
            watched = jumped;
        }
        // In play most jumps need only their last frames drawn (on the other
        // screens a picture builds up over seconds).
        if (std::string(name).starts_with("autoplay")) {
            EXPECT_GE(short_stretches * 3, jumps * 2) << name;
        }
    }
}

TEST(ReplaySeek, APageLeftUndrawnIsDrawnByTheNextJumpUntilItIsCoveredWhole) {
    test_screen screen;
    set_pages(2, 0);
    clear_screen();
    print_text("x");
    const page_marks wanted = current_page_marks();
    EXPECT_EQ(draw_again_from(wanted, wanted, 0).from_ms, UINT64_MAX);  // all held as wanted
    forget_pages(1u << 2);
    const page_marks held = current_page_marks();
    EXPECT_EQ(draw_again_from(wanted, held, 0).from_ms, wanted[2].covered_ms);
    const redrawing unneeded = draw_again_from(wanted, held, 1u << 2);
    EXPECT_EQ(unneeded.from_ms, UINT64_MAX);
    EXPECT_EQ(unneeded.forgotten, 1u << 2);
    // Copied, the copy is as unknown; covered whole, it is known again.
    copy_page(2, 1);
    EXPECT_TRUE(current_page_marks()[1].pixels_unknown);
    print_text("y");
    EXPECT_TRUE(current_page_marks()[2].pixels_unknown);
    clear_screen();
    EXPECT_FALSE(current_page_marks()[2].pixels_unknown);
}

TEST(ReplaySeek, GameStartsAndTheLengthComeFromPlayingItThrough) {
    const script_contents script = read_replay("autoplay-two-bonus-stages-to-stage-6.script");
    reset_game_state();
    keep_hi_score_apart(script.best_at_start);
    const replay_timeline timeline = survey_replay(script.events, 2, game_args);
    // It ends where the player quit.
    EXPECT_GT(timeline.length_ms(), script.events.back().ms);
    EXPECT_LT(timeline.length_ms(), script.events.back().ms + 1000);
    const std::uint64_t first = timeline.next_game_start(0);
    ASSERT_LT(first, timeline.length_ms());
    EXPECT_EQ(timeline.next_game_start(first), timeline.length_ms());  // one game
    EXPECT_EQ(timeline.previous_game_start(first + 1000), 0u);         // just started: the one before
    EXPECT_EQ(timeline.previous_game_start(first + 60'000), first);
    // The survey leaves the program as it found it: drawing, no platform.
    EXPECT_TRUE(drawing());
    EXPECT_EQ(current_platform(), nullptr);
}
