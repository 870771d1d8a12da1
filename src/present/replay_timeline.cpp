#include "present/replay_timeline.h"

#include <algorithm>

namespace {

// How far into a game going back still goes to the game before.
constexpr std::uint64_t back_to_the_game_before_ms = 2000;

}  // namespace

void replay_timeline::picture_shown(std::uint64_t ms, const page_marks& pages, const page_uses& since_last) {
    // A sleep of no length shows nothing: the next picture replaces it, and
    // what came before it follows the one before.
    const bool replaces = !pictures_.empty() && pictures_.back().ms == ms;
    if (replaces) pictures_.pop_back();
    if (!pictures_.empty()) {
        page_uses& after = pictures_.back().next_uses;
        for (int page = 0; page < screen_pages; ++page)
            if (after[page] == page_use::none) after[page] = since_last[page];
    }
    pictures_.push_back({ms, pages});
}

void replay_timeline::set_length(std::uint64_t ms) {
    length_ms_ = ms;
    // Back from the end, where whatever comes next may read every page.
    page_uses next;
    next.fill(page_use::read);
    for (auto picture = pictures_.rbegin(); picture != pictures_.rend(); ++picture) {
        picture->unneeded = 0;
        for (int page = 0; page < screen_pages; ++page) {
            if (picture->next_uses[page] != page_use::none) next[page] = picture->next_uses[page];
            if (next[page] == page_use::replaced) picture->unneeded |= 1u << page;
        }
    }
}

redrawing replay_timeline::draw_from(std::uint64_t ms, const page_marks& held) const {
    const auto after = std::upper_bound(pictures_.begin(), pictures_.end(), ms,
                                        [](std::uint64_t at, const shown& picture) { return at < picture.ms; });
    if (after == pictures_.begin()) return {0, 0};
    // The picture on show was drawn before its sleep began.
    const shown& picture = *std::prev(after);
    redrawing drawing = draw_again_from(picture.pages, held, picture.unneeded);
    drawing.from_ms = std::min(picture.ms, drawing.from_ms);
    return drawing;
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
