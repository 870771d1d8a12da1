#include "present/headless_platform.h"

#include <algorithm>

#include "present/input_events.h"
#include "present/screen.h"

headless_platform::headless_platform(std::vector<script_event> events, std::vector<screenshot_request> shots,
                                     std::optional<std::uint64_t> end_ms)
    : script_(std::move(events)),
      shots_(std::move(shots)),
      shown_pixels_(static_cast<std::size_t>(screen_width) * screen_height, 0) {
    std::stable_sort(shots_.begin(), shots_.end(), [](const auto& a, const auto& b) { return a.ms < b.ms; });
    end_ms_ = end_ms ? *end_ms : script_.last_ms() + script_tail_ms;
}

bool headless_platform::open_display(bool) {
    // The pointer starts over the window, with the focus, like a player's.
    report_pointer_position(0, 0);
    report_focus(true);
    return true;
}

void headless_platform::present(const std::uint8_t* pixels, const rgb* palette) {
    std::copy(pixels, pixels + shown_pixels_.size(), shown_pixels_.begin());
    std::copy(palette, palette + 256, shown_palette_);
    picture_unseen_ = true;
}

void headless_platform::stop_if_asked() const {
    if (stop_code_ != 0) throw headless_run_over{stop_code_};
}

void headless_platform::pump_events() {
    stop_if_asked();
    script_.hand_over_due(now_);
}

void headless_platform::add_event(script_event event) {
    event.ms = std::max({event.ms, now_, script_.last_ms()});
    script_.add(std::move(event));
}

void headless_platform::sleep_begins(int ms) {
    if (sleep_hook_) sleep_hook_(now_ + static_cast<std::uint64_t>(std::max(ms, 0)));
}

void headless_platform::wait_ms(int ms) {
    stop_if_asked();
    advance_to(now_ + static_cast<std::uint64_t>(std::max(ms, 0)));
}

void headless_platform::idle() {
    stop_if_asked();
    // Polling without sleeping can only end when input changes: jump there,
    // or end the run when no input is left to come.
    if (!script_.finished())
        advance_to(std::max(now_, script_.next_ms()));
    else
        end_run();
}

void headless_platform::take_shots_before(std::uint64_t limit, bool inclusive) {
    while (!shots_.empty() && (shots_.front().ms < limit || (inclusive && shots_.front().ms == limit))) {
        if (shot_due_) shot_due_(shots_.front(), shown_pixels_.data(), shown_palette_);
        shots_.erase(shots_.begin());
    }
}

void headless_platform::advance_to(std::uint64_t target) {
    // The picture on show now stays until the clock moves on: every shot
    // due before the new time sees it.
    if (target > end_ms_) end_run();
    if (target > now_ && picture_unseen_ && picture_seen_) {
        picture_seen_(now_, shown_pixels_.data(), shown_palette_);
        picture_unseen_ = false;
    }
    take_shots_before(target, false);
    now_ = target;
}

void headless_platform::end_run() {
    take_shots_before(end_ms_, true);
    if (end_ms_ != no_end) now_ = std::max(now_, end_ms_);
    throw headless_run_over{0};
}
