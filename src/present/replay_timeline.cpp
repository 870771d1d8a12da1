#include "present/replay_timeline.h"

#include <algorithm>

namespace {

// How far into a game going back still goes to the game before.
constexpr std::uint64_t back_to_the_game_before_ms = 2000;

}  // namespace

void replay_timeline::picture_shown(std::uint64_t ms, const page_marks& pages) {
    // A sleep of no length shows nothing: the next picture replaces it.
    if (!pictures_.empty() && pictures_.back().ms == ms)
        pictures_.back().pages = pages;
    else
        pictures_.push_back({ms, pages});
}

std::uint64_t replay_timeline::draw_from(std::uint64_t ms, const page_marks& held) const {
    const auto after = std::upper_bound(pictures_.begin(), pictures_.end(), ms,
                                        [](std::uint64_t at, const shown& picture) { return at < picture.ms; });
    if (after == pictures_.begin()) return 0;
    // The picture on show was drawn before its sleep began.
    const shown& picture = *std::prev(after);
    return std::min(picture.ms, draw_again_from(picture.pages, held));
}

std::uint64_t replay_timeline::next_game_start(std::uint64_t ms) const {
    const auto next = std::upper_bound(game_starts_.begin(), game_starts_.end(), ms);
    return next == game_starts_.end() ? length_ms_ : *next;
}

std::uint64_t replay_timeline::previous_game_start(std::uint64_t ms) const {
    const std::uint64_t before = ms > back_to_the_game_before_ms ? ms - back_to_the_game_before_ms : 0;
    const auto next = std::lower_bound(game_starts_.begin(), game_starts_.end(), before);
    return next == game_starts_.begin() ? 0 : *std::prev(next);
}
