#pragma once
// A platform without a window or real time, for tests, replays and benchmarks.
// Time is virtual: the sum of every wait the game asked for, from 0 at start.
// Input comes from a script; what the display shows is handed to the program
// at the moments it asks for (screenshots) and whenever it changes.
#include <atomic>
#include <climits>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "present/input_script.h"
#include "present/platform.h"

struct screenshot_request {
    std::uint64_t ms;
    std::string path;
};

// Thrown out of the game when the run's virtual time is over.
struct headless_run_over {
    int exit_code;
};

class headless_platform final : public platform {
public:
    // An end_ms for a run that lasts as long as the game does.
    static constexpr std::uint64_t no_end = UINT64_MAX;

    headless_platform(std::vector<script_event> events, std::vector<screenshot_request> shots,
                      std::optional<std::uint64_t> end_ms);

    bool open_display(bool full_screen) override;
    void present(const std::uint8_t* pixels, const rgb* palette) override;
    void pump_events() override;
    std::uint64_t now_ms() override { return now_; }
    std::uint64_t virtual_ms() override { return now_; }
    void sleep_begins(int ms) override;
    void wait_ms(int ms) override;
    // Virtual time passes in one step: nothing between the script's events
    // changes what the game sees when it wakes, which is all of them.
    int longest_wait_ms() const override { return INT_MAX; }
    void idle() override;
    void warp_pointer(int, int) override {}
    void show_pointer(bool) override {}
    void confine_pointer(bool) override {}

    // Ends the run at the next poll or sleep with this exit code; safe to
    // call from a signal handler or another thread.
    void stop(int exit_code) { stop_code_ = exit_code; }

    // Called when virtual time is about to pass for the first time since a
    // picture was presented, with that picture: what a player would have
    // seen for a while.
    using picture_seen = std::function<void(std::uint64_t ms, const std::uint8_t* pixels, const rgb* palette)>;
    void on_picture_seen(picture_seen hook) { picture_seen_ = std::move(hook); }

    // Called for each screenshot when its time comes, with the picture on
    // show then; shots whose time never comes stay pending.
    using shot_due =
        std::function<void(const screenshot_request& shot, const std::uint8_t* pixels, const rgb* palette)>;
    void on_shot_due(shot_due hook) { shot_due_ = std::move(hook); }

    // For a player that decides as the game goes (the built-in autoplayer):
    // called whenever the game begins to sleep, with the virtual time at
    // which it wakes and looks at the input again.
    using sleep_hook = std::function<void(std::uint64_t wake_ms)>;
    void on_sleep(sleep_hook hook) { sleep_hook_ = std::move(hook); }
    // Adds an event while the game runs, at its time or now if that is
    // earlier, after every event added before.
    void add_event(script_event event);

    // What a player would see now: the last presented page and its palette.
    const std::uint8_t* shown_pixels() const { return shown_pixels_.data(); }
    const rgb* shown_palette() const { return shown_palette_; }
    // Screenshots whose time has not come; the program reports them at the end.
    const std::vector<screenshot_request>& pending_shots() const { return shots_; }

private:
    void advance_to(std::uint64_t target);
    void stop_if_asked() const;
    [[noreturn]] void end_run();
    void take_shots_before(std::uint64_t limit, bool inclusive);

    script_player script_;
    std::vector<screenshot_request> shots_;  // sorted by time
    std::uint64_t end_ms_;
    std::uint64_t now_ = 0;
    std::vector<std::uint8_t> shown_pixels_;
    rgb shown_palette_[256] = {};
    std::atomic<int> stop_code_ = 0;  // lock-free, so a signal handler may set it
    shot_due shot_due_;
    picture_seen picture_seen_;
    bool picture_unseen_ = true;  // presented (or the first), not yet handed to picture_seen_
    sleep_hook sleep_hook_;
};
