#pragma once
// A recording as a watcher moves through it: how long it lasts, where its
// games start, and for every moment from when the picture then on show must
// be drawn, so that a jump plays the game again from the start without
// drawing and draws only that last stretch. Found by playing the recording
// once without drawing (programs/replay_survey.h).
#include <cstdint>
#include <vector>

#include "present/page_history.h"

class replay_timeline {
public:
    // The game begins a sleep at game time ms, with the pages as marked and
    // used as told since the last sleep began: the picture then presented
    // shows until the next sleep begins.
    void picture_shown(std::uint64_t ms, const page_marks& pages, const page_uses& since_last);
    void game_started(std::uint64_t ms) { game_starts_.push_back(ms); }
    // The recording is over at ms.
    void set_length(std::uint64_t ms);

    std::uint64_t length_ms() const { return length_ms_; }
    // How to draw to have the pages as they are at ms, starting from pages as
    // marked in held: from, at the latest, where the picture then on show
    // began to show.
    redrawing draw_from(std::uint64_t ms, const page_marks& held) const;
    // The first game start after ms (the length when there is none), and the
    // last one more than a moment before ms (0 when there is none), so that
    // going back twice goes to the game before.
    std::uint64_t next_game_start(std::uint64_t ms) const;
    std::uint64_t previous_game_start(std::uint64_t ms) const;

private:
    struct shown {
        std::uint64_t ms;
        page_marks pages;
        page_uses next_uses{};  // the first from then until the next picture
        page_set unneeded = 0;  // replaced before anything reads them
    };
    std::vector<shown> pictures_;  // in the order of time
    std::vector<std::uint64_t> game_starts_;
    std::uint64_t length_ms_ = 0;
};
