#include "present/replay_overlay.h"

#include <cstdio>
#include <string>

#include "present/overlay_pixels.h"

namespace {

constexpr std::uint32_t backdrop = 0xff101018;
constexpr std::uint32_t lit = 0xfff0f0f0;
constexpr std::uint32_t unlit = 0xff505060;
constexpr std::uint32_t played = 0xfff0b040;

std::string minutes_and_seconds(std::uint64_t ms) {
    char text[32];
    const std::uint64_t seconds = ms / 1000;
    std::snprintf(text, sizeof text, "%llu:%02llu", static_cast<unsigned long long>(seconds / 60),
                  static_cast<unsigned long long>(seconds % 60));
    return text;
}

}  // namespace

void draw_replay_overlay(const replay_position& position, std::uint32_t* pixels) {
    constexpr int w = replay_overlay_width;
    fill_overlay(pixels, w, 0, 0, w, replay_overlay_height, backdrop);
    // The bar: played in gold, the rest dim.
    const std::uint64_t length = std::max<std::uint64_t>(position.length_ms, 1);
    const int bar = 624;
    const int done = static_cast<int>(std::min<std::uint64_t>(position.at_ms, length) * bar / length);
    fill_overlay(pixels, w, 8, 3, done, 3, played);
    fill_overlay(pixels, w, 8 + done, 3, bar - done, 3, unlit);
    const std::string times = minutes_and_seconds(position.at_ms) + " / " + minutes_and_seconds(position.length_ms);
    write_overlay_text(pixels, w, 8, 12, times, lit);
    const std::string state = position.paused ? "PAUSED" : std::to_string(position.speed) + "x";
    write_overlay_text(pixels, w, w - 8 - 8 * static_cast<int>(state.size()), 12, state, lit);
}
