// The program's spine: start-up in its fixed order, then title screen,
// opening, one game and its aftermath, again and again until the player quits.
#include <cstdio>

#include "assets/assets.h"
#include "combat/combat.h"
#include "files/game_files.h"
#include "flow/flow.h"
#include "flow/flow_internal.h"
#include "present/input.h"
#include "present/input_recording.h"
#include "present/screen.h"
#include "screens/screens.h"
#include "sound/sound.h"
#include "state/direction_tables.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {

void play_one_game() {
    opening_sequence();
    start_game();
    run_frames();
    if (frame_outcome == outcome_game_over) results_screen();
    save_a_beaten_best();
}

}  // namespace

void save_a_beaten_best() {
    if (games_started() == 0 || score <= hi_score) return;
    hi_score = score;
    write_hi_score(hi_score);
}

int run_program(int argc, char** argv, bool full_screen) {
    locate_game_files(argc > 0 ? argv[0] : nullptr);
    if (!graphics_found())
        std::fprintf(stderr, "korvane: no game pictures in %s; the game runs without them\n",
                     graphics_search_list().c_str());
    fill_direction_tables();
    if (!open_screen(screen_width, screen_height, 8, screen_pages, full_screen)) {
        // Without a screen the game would run on unseen and never end.
        const platform* p = current_platform();
        std::fprintf(stderr, "%s: cannot open a window or full screen: %s\n", argc > 0 ? argv[0] : "korvane",
                     p != nullptr ? p->failure_reason() : "no display service");
        return 1;
    }
    set_text_grid(80, 60);
    set_mouse(-1, -1, 0, -1);
    sound_setup(std::vector<std::string>(argv, argv + argc));
    load_graphics();
    read_hi_score(hi_score);
    // A recording replays from the best score it began with, and as calm as it was played.
    record_best_at_start(hi_score);
    if (calm_mode) record_calm_at_start();

    do {
        quit_requested = title_screen();
        fire_before = -1;
        if (quit_requested != -1) play_one_game();
        wait_release();
        sleep_or_key(1);
    } while (quit_requested == 0);

    free_graphics();
    return 0;
}
