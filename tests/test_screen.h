#pragma once
// An open screen on the headless platform, for tests of drawing and input.
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "present/headless_platform.h"
#include "present/input_events.h"
#include "present/keys.h"
#include "present/screen.h"

class test_screen {
public:
    explicit test_screen(std::vector<script_event> events = {})
        : platform_(std::move(events), {}, std::optional<std::uint64_t>{1'000'000'000}) {
        install_platform(&platform_);
        reset_input();
        open_screen(screen_width, screen_height, 8, screen_pages, false);
        set_text_grid(80, 60);
    }
    ~test_screen() { install_platform(nullptr); }
    test_screen(const test_screen&) = delete;
    test_screen& operator=(const test_screen&) = delete;

    headless_platform& platform() { return platform_; }
    static std::uint8_t pixel(int page, int x, int y) { return page_pixels(page)[y * screen_width + x]; }

private:
    headless_platform platform_;
};

// A key of a test's script, by the name scripts use: down with its press (or
// what was typed, "Y" for a shifted y), or up.
inline script_event key(std::uint64_t ms, bool down, std::string_view name,
                        std::optional<std::string> typed = std::nullopt) {
    script_event e{};
    e.ms = ms;
    e.action = down ? script_action::key_down : script_action::key_up;
    const named_key* k = find_script_key(name);
    e.scan_code = k != nullptr ? k->scan_code : 0;
    if (down) e.key_press = typed ? *typed : k != nullptr ? k->press : "";
    return e;
}
