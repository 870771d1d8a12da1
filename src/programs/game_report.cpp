#include "programs/game_report.h"

#include <cinttypes>
#include <cstdio>

#include "combat/combat.h"
#include "flow/flow.h"
#include "present/screen.h"

namespace {

std::string game_values() {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "\"score\":%d,\"hi_score\":%d,\"energy\":%d,\"stage\":%d,\"bonus_stage\":%d,\"chain\":%d,"
                  "\"max_chain\":%d,\"squid_count\":%d,\"kills_left\":%d,\"defeated\":%d",
                  score, hi_score, energy, stage, bonus_stage, chain, max_chain, squid_count, kills_left, defeated);
    return buffer;
}

// FNV-1a over the visible page and the palette: what a player sees.
std::uint64_t picture_hash() {
    std::uint64_t h = 14695981039346656037ull;
    auto mix = [&h](const std::uint8_t* bytes, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 1099511628211ull;
    };
    mix(page_pixels(current_visible_page()), static_cast<std::size_t>(screen_width) * screen_height);
    mix(reinterpret_cast<const std::uint8_t*>(screen_palette()), 256 * sizeof(rgb));
    return h;
}

}  // namespace

std::string state_report_json(std::uint64_t virtual_ms) {
    char head[128];
    std::snprintf(head, sizeof head, "{\"virtual_ms\":%" PRIu64 ",\"games\":%d,\"frames\":%d,", virtual_ms,
                  games_started(), frames_in_game());
    return head + game_values() + "}";
}

std::string frame_report_json(std::uint64_t virtual_ms) {
    char head[128];
    std::snprintf(head, sizeof head, "{\"game\":%d,\"frame\":%d,\"virtual_ms\":%" PRIu64 ",", games_started(),
                  frames_in_game(), virtual_ms);
    char tail[64];
    std::snprintf(tail, sizeof tail, ",\"picture\":\"%016" PRIx64 "\"}", picture_hash());
    return head + game_values() + tail;
}
