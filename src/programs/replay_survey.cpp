#include "programs/replay_survey.h"

#include "flow/flow.h"
#include "present/headless_platform.h"
#include "present/page_history.h"
#include "present/screen.h"

namespace {

replay_timeline* surveyed = nullptr;
std::int32_t games_seen = 0;
std::uint64_t last_sleep_ms = 0;

// A game's first frame of play is where watching it begins.
void frame_ended() {
    if (games_started() == games_seen) return;
    games_seen = games_started();
    surveyed->game_started(last_sleep_ms);
}

}  // namespace

replay_timeline survey_replay(const std::vector<script_event>& events, int argc, char** argv) {
    replay_timeline timeline;
    headless_platform survey(events, {}, std::nullopt);
    survey.on_sleep([&survey, &timeline](std::uint64_t) {
        last_sleep_ms = survey.now_ms();
        timeline.picture_shown(last_sleep_ms, current_page_marks(), take_page_uses());
        // What is shown while it sleeps is read then.
        note_page_shown(current_visible_page());
    });
    surveyed = &timeline;
    games_seen = 0;
    platform* const watching = current_platform();
    install_platform(&survey);
    set_frame_end_hook(frame_ended);
    set_drawing(false);
    track_page_uses(true);
    try {
        run_program(argc, argv, false);
    } catch (const headless_run_over&) {
    }
    timeline.set_length(survey.now_ms());
    track_page_uses(false);
    set_drawing(true);
    set_frame_end_hook(nullptr);
    reset_program_state();
    install_platform(watching);
    return timeline;
}
