#include "programs/game_report.h"

#include <cinttypes>
#include <cstdio>

#include "combat/combat.h"
#include "flow/flow.h"
#include "present/picture_digest.h"
#include "present/random.h"
#include "present/screen.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {

std::string game_values() {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "\"score\":%d,\"hi_score\":%d,\"energy\":%d,\"stage\":%d,\"bonus_stage\":%d,\"chain\":%d,"
                  "\"max_chain\":%d,\"squid_count\":%d,\"kills_left\":%d,\"defeated\":%d,\"player_x\":%d,"
                  "\"player_y\":%d,\"scheme\":%d,\"calm\":%d,\"draws\":%" PRIu64,
                  score, hi_score, energy, stage, bonus_stage, chain, max_chain, squid_count, kills_left, defeated,
                  player_x, player_y, background_index, calm_mode, random_draws());
    return buffer;
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
    // Without drawing the pages hold nothing a player would have seen.
    char tail[64] = ",\"picture\":\"none\"}";
    if (drawing())
        std::snprintf(tail, sizeof tail, ",\"picture\":\"%016" PRIx64 "\"}",
                      picture_digest(page_pixels(current_visible_page()), screen_palette()));
    return head + game_values() + tail;
}

std::string verify_report(std::uint64_t virtual_ms, std::uint64_t frames_of_play) {
    char line[192];
    std::snprintf(line, sizeof line,
                  "verify: games=%d frames=%" PRIu64 " score=%d best=%d max_chain=%d virtual_ms=%" PRIu64,
                  games_started(), frames_of_play, score, hi_score, max_chain, virtual_ms);
    return line;
}
