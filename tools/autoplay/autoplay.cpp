// A player for the game: it aims at what flies and falls, the way a good
// human player would, and writes down every input it gave as a script that
// korvane-headless replays exactly. It made the recorded games in tests/replays
// and shows whole games (stages, bonus stages, a defeat) without a person.
//   korvane-autoplay SCRIPT_OUT [--until-stage N] [--shots FOLDER]
// Runs in a game folder. With --until-stage N it stops shooting once stage N
// begins, so the game ends in a defeat.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "combat/combat.h"
#include "flow/flow.h"
#include "flow/play_state.h"
#include "present/headless_platform.h"
#include "present/png_writer.h"
#include "present/screen.h"

namespace {

// When the title screen is clicked at 0 ms, play begins at 30 ms.
constexpr std::uint64_t title_click_ms = 0;
constexpr std::uint64_t title_release_ms = 100;
// Input seen at frame f lands a shot at frame f + 8; the cursor must stand
// one frame before the press so that the scroll has followed it.
constexpr int frames_until_landing = 10;

struct aim {
    int cursor_x, cursor_y;
};

headless_platform* player_platform = nullptr;
std::vector<std::string> script;
int stop_shooting_at_stage = 0;
std::string shots_folder;
enum class phase { looking, moved, pressed, waiting } shooter = phase::looking;
aim chosen{};
int cash_in_chain = 5;

void give(script_event e, const std::string& text) {
    player_platform->add_event(e);
    script.push_back(std::to_string(player_platform->now_ms()) + " " + text);
}

void move_to(int x, int y) {
    script_event e{};
    e.action = script_action::move;
    e.x = x;
    e.y = y;
    give(e, "move " + std::to_string(x) + " " + std::to_string(y));
}

void button(bool down) {
    script_event e{};
    e.action = down ? script_action::press : script_action::release;
    give(e, down ? "press left" : "release left");
}

// The cursor whose shot lands nearest to field point (x, y); false if none
// lands within the tolerance.
bool cursor_for(double x, double y, double tolerance, aim& result) {
    double best = tolerance;
    bool found = false;
    for (int cy = 0; cy <= 472; cy += 8) {
        const double fy = cy + (cy / 64) * 8;
        if (std::abs(fy - y) >= best + 8) continue;
        for (int cx = 0; cx <= 632; cx += 8) {
            const double fx = cx + (((cx / 10) >> 3) << 3);
            const double miss = std::max(std::abs(fx - x), std::abs(fy - y));
            if (miss < best) {
                best = miss;
                result = {cx, cy};
                found = true;
            }
        }
    }
    return found;
}

bool choose_squid(aim& result) {
    const bool wants_supply = energy <= 60;
    for (const bool supply_pass : {wants_supply, !wants_supply}) {
        for (int i = 0; i < squid_count; ++i) {
            const squid& s = squids[i];
            if (s.state != squid_flying || (s.kind == 1) != supply_pass) continue;
            const int age = s.age + frames_until_landing;
            const double x = s.x + s.dx * frames_until_landing, y = s.y + s.dy * frames_until_landing;
            if (age < 20 || x < 0 || x > 688 || y < 8 || y > 520) continue;
            if (cursor_for(x, y + 2, age / 2 - 2, result)) return true;
        }
    }
    return false;
}

bool choose_drop(aim& result) {
    for (const drop& d : drops) {
        if (!d.active || d.state != drop_falling) continue;
        int cell_y = d.cell_y;
        for (int f = 1; f <= frames_until_landing; ++f) cell_y += d.age + f > 16 ? 2 : 1;
        if (cell_y > 68) continue;
        if (cursor_for(d.cell_x * 8 - 8, cell_y * 8 - 16, 40, result)) return true;
    }
    return false;
}

// A shot at the corner of the screen furthest from every squid and drop: a
// deliberate miss, which pays out the chain.
aim empty_corner() {
    const aim corners[4] = {{0, 0}, {632, 0}, {0, 472}, {632, 472}};
    aim best = corners[0];
    double best_distance = -1;
    for (const aim& c : corners) {
        const double fx = c.cursor_x + (((c.cursor_x / 10) >> 3) << 3), fy = c.cursor_y + (c.cursor_y / 64) * 8;
        double nearest = 1e9;
        for (int i = 0; i < squid_count; ++i)
            if (squids[i].state == squid_flying)
                nearest = std::min(nearest, std::hypot(squids[i].x - fx, squids[i].y - fy));
        for (const drop& d : drops)
            if (d.active) nearest = std::min(nearest, std::hypot(d.cell_x * 8.0 - fx, d.cell_y * 8.0 - fy));
        if (nearest > best_distance) {
            best_distance = nearest;
            best = c;
        }
    }
    return best;
}

void save_shot() {
    if (shots_folder.empty() || frames_in_game() % 50 != 0) return;
    const std::string path = shots_folder + "/frame" + std::to_string(frames_in_game()) + ".png";
    write_png(path, page_pixels(current_visible_page()), screen_width, screen_height, screen_width, screen_palette());
}

void after_frame() {
    save_shot();
    if (frame_outcome == 1) throw headless_run_over{0};
    const bool shooting = stop_shooting_at_stage == 0 || stage < stop_shooting_at_stage;
    switch (shooter) {
        case phase::looking: {
            if (!shooting || shot_active || defeated) break;
            bool found = true;
            if (chain >= cash_in_chain) {
                chosen = empty_corner();
                cash_in_chain = cash_in_chain % 7 + 3;  // chains of 3 to 9 kills
            } else {
                found = bonus_stage ? choose_drop(chosen) : choose_squid(chosen);
            }
            if (found) {
                move_to(chosen.cursor_x, chosen.cursor_y);
                shooter = phase::moved;
            }
            break;
        }
        case phase::moved:
            button(true);
            shooter = phase::pressed;
            break;
        case phase::pressed:
            button(false);
            shooter = phase::waiting;
            break;
        case phase::waiting:
            if (!shot_active) shooter = phase::looking;
            break;
    }
}

}  // namespace

constexpr const char* usage =
    "Usage: korvane-autoplay SCRIPT_OUT [--until-stage N] [--shots FOLDER]\n"
    "Plays a game by itself in the game folder it runs in and writes the input it\n"
    "gave to SCRIPT_OUT, as a script that korvane-headless --input replays.\n"
    "  --until-stage N  stop shooting once stage N begins, so the game ends in a defeat\n"
    "  --shots FOLDER   save a screenshot of every 50th frame of play in FOLDER\n";

int main(int argc, char** argv) {
    if (argc >= 2 && (std::string(argv[1]) == "-h" || std::string(argv[1]) == "--help")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (argc < 2 || argv[1][0] == '-' || argc % 2 != 0) {
        std::fputs(usage, stderr);
        return 2;
    }
    for (int i = 2; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--until-stage") {
            stop_shooting_at_stage = std::atoi(argv[i + 1]);
        } else if (option == "--shots") {
            shots_folder = argv[i + 1];
        } else {
            std::fprintf(stderr, "korvane-autoplay: unknown option %s\n%s", option.c_str(), usage);
            return 2;
        }
    }
    std::vector<script_event> start(2);
    start[0].ms = title_click_ms;
    start[0].action = script_action::press;
    start[1].ms = title_release_ms;
    start[1].action = script_action::release;
    script = {std::to_string(title_click_ms) + " press left", std::to_string(title_release_ms) + " release left"};
    headless_platform headless(start, {}, std::uint64_t{24} * 3600 * 1000);
    player_platform = &headless;
    install_platform(&headless);
    set_frame_end_hook(after_frame);
    char program[] = "korvane-autoplay";
    char nosound[] = "nosound";
    char* game_args[] = {program, nosound, nullptr};
    try {
        run_program(2, game_args, false);
    } catch (const headless_run_over&) {
    }
    std::ofstream out(argv[1]);
    out << "# Played by korvane-autoplay: " << frames_in_game() << " frames, stage " << stage
        << (bonus_stage ? " (bonus)" : "") << ", score " << score << ", longest chain " << max_chain << "\n";
    for (const std::string& line : script) out << line << "\n";
    std::printf("%d frames, stage %d, score %d, max chain %d, energy %d\n", frames_in_game(), stage, score, max_chain,
                energy);
    install_platform(nullptr);
    return out ? 0 : 1;
}
