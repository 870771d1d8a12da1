// Everything drawn in play reads against the field it lands on. The recorded
// games are played again in this process; at the end of every frame of play
// each thing the frame drew is drawn again alone, checked against the
// finished picture (so that what was covered is left out), and its outline
// is measured against the field drawn with nothing on it: an outline pixel
// reads when it, or the art up to two pixels of the art further in, has a
// contrast of 3:1 with the field beside it. Runs in the game folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "colour_contrast.h"
#include "combat/combat.h"
#include "combat/combat_internal.h"
#include "flow/flow.h"
#include "flow/flow_internal.h"
#include "present/headless_platform.h"
#include "present/input_script.h"
#include "present/screen.h"
#include "screens/screens.h"
#include "sound/recording_sound_library.h"
#include "sound/sound_library.h"
#include "state/play_state.h"
#include "state/program_state.h"
#include "state/view.h"
#include "test_screen.h"

namespace fs = std::filesystem;

namespace {

constexpr double readable = 3.0;
constexpr int block = 8;  // one pixel of the art, enlarged
// A dark outline disappears on a dark field and the art inside it shows the
// shape: an edge reads if the art up to two of its pixels in does.
constexpr int reach = 2;

std::array<double, 256> luminances;

void read_luminances() {
    for (int i = 0; i < 256; ++i) {
        const rgb c = screen_palette()[i];
        luminances[i] = relative_luminance(c.r, c.g, c.b);
    }
}

double contrast(int a, int b) { return contrast_of(luminances[a], luminances[b]); }

// Outline pixels of one kind of thing on one background, over every frame it
// was seen in: how many there were, and how many read in each colour it can
// be drawn in (one, or each of the random picks).
struct tally {
    int appearances = 0, covered = 0;
    long outline = 0;
    std::vector<long> reading;
    double share(int colour = 0) const { return outline == 0 ? 0.0 : double(reading[colour]) / outline; }
};

std::map<std::string, std::array<tally, 3>> tallies;

std::vector<std::uint8_t> frame_pixels(screen_width*screen_height), field_pixels(screen_width*screen_height);
image* canvas = nullptr;

struct area {
    int left, top, right, bottom;  // right and bottom beyond the last pixel
};

area on_screen(int x, int y, int width, int height) {
    return {std::max(x, 0), std::max(y, 0), std::min(x + width, screen_width), std::min(y + height, screen_height)};
}

std::uint8_t drawn_at(int x, int y) { return canvas->pixels[y * canvas->pitch + x]; }

// Measures what draw() put on the clear canvas within the area, then clears
// it. colours: the palette entries it may be drawn in, or empty for its own
// (then draw() draws it in them; otherwise in any colour but 0).
void measure(const std::string& kind, area a, const std::function<void()>& draw, const std::vector<int>& colours = {}) {
    if (a.left >= a.right || a.top >= a.bottom) return;
    draw();
    tally& t = tallies[kind][background_index];
    const std::size_t picks = colours.empty() ? 1 : colours.size();
    if (t.reading.empty()) t.reading.assign(picks, 0);
    // What was covered in the finished picture is not measured.
    long shown = 0, pixels = 0;
    std::uint8_t seen = 0;
    for (int y = a.top; y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x) {
            const std::uint8_t c = drawn_at(x, y);
            if (c == 0) continue;
            ++pixels;
            const std::uint8_t in_frame = frame_pixels[y * screen_width + x];
            if (colours.empty() ? in_frame == c : (seen == 0 ? (seen = in_frame, true) : in_frame == seen)) ++shown;
        }
    const bool measured = pixels > 0 && shown * 10 >= pixels * 9;
    if (pixels > 0) ++t.appearances;
    if (pixels > 0 && !measured) ++t.covered;
    constexpr int steps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    for (int y = a.top; measured && y < a.bottom; ++y)
        for (int x = a.left; x < a.right; ++x) {
            const std::uint8_t c = drawn_at(x, y);
            if (c == 0) continue;
            for (const auto& [dx, dy] : steps) {
                const int qx = x + dx, qy = y + dy;
                if (qx < 0 || qy < 0 || qx >= screen_width || qy >= screen_height || drawn_at(qx, qy) != 0) continue;
                const int beside = field_pixels[qy * screen_width + qx];
                ++t.outline;
                if (colours.empty()) {
                    bool reads = contrast(c, beside) >= readable;
                    for (int in = 1; in <= reach && !reads; ++in) {
                        const int ix = x - dx * block * in, iy = y - dy * block * in;
                        if (ix < a.left || iy < a.top || ix >= a.right || iy >= a.bottom || drawn_at(ix, iy) == 0)
                            break;
                        reads = contrast(drawn_at(ix, iy), beside) >= readable;
                    }
                    t.reading[0] += reads;
                } else {
                    for (std::size_t i = 0; i < picks; ++i) t.reading[i] += contrast(colours[i], beside) >= readable;
                }
            }
        }
    for (int y = a.top; y < a.bottom; ++y)
        std::memset(&canvas->pixels[y * canvas->pitch + a.left], 0, a.right - a.left);
}

std::vector<int> entries(int last) {
    std::vector<int> all(last + 1);
    for (int i = 0; i <= last; ++i) all[i] = i;
    return all;
}

void measure_sprite(const std::string& kind, int x, int y, int sprite) {
    const image* s = sprite_images[sprite];
    measure(kind, on_screen(x, y, s->width, s->height), [&] { put_image(canvas, x, y, s, put_mode::transparent); });
}

void measure_silhouette(const std::string& kind, int x, int y, int sprite, const std::vector<int>& colours) {
    const image* s = sprite_images[sprite];
    measure(
        kind, on_screen(x, y, s->width, s->height), [&] { put_silhouette(canvas, x, y, s, 15); }, colours);
}

int text_width(const std::string& text) {
    int width = 0;
    for (const char c : text) width += (glyph_widths[static_cast<unsigned char>(c)] + 1) * block;
    return width;
}

// A text in one colour, in the font's own (-1), or in a random pick of 0..16.
constexpr int random_ink = -2;
void measure_text(const std::string& kind, int x, int y, const std::string& text, int colour) {
    const area a = on_screen(x, y, text_width(text), 7 * block);
    if (colour == random_ink)
        measure(
            kind, a, [&] { draw_text(canvas, x, y, text, 15); }, entries(16));
    else
        measure(kind, a, [&] { draw_text(canvas, x, y, text, colour); });
}

// The squid sets each scheme sends: A, B and C; A, B and D; D alone.
const char sets[3][3] = {{'A', 'B', 'C'}, {'A', 'B', 'D'}, {'D', 'D', 'D'}};
int first_sprite(char set) { return squid_sets[set - 'A']; }

void measure_frame() {
    if (part_on_show != part_play || defeated) return;
    read_luminances();
    if (canvas == nullptr) canvas = create_image(screen_width, screen_height);  // clear: colour 0
    std::memcpy(frame_pixels.data(), work_page_pixels(), frame_pixels.size());
    draw_field();
    std::memcpy(field_pixels.data(), work_page_pixels(), field_pixels.size());
    std::memcpy(work_page_pixels(), frame_pixels.data(), frame_pixels.size());

    for (const squid& s : squids) {
        const int x = to_pixel_cell(s.x) - 56 - scroll_x, y = to_pixel_cell(s.y) - 56 - scroll_y;
        const char set = sets[background_index][s.variety];
        if (s.state == squid_flying && s.frame == 0 && s.kind == kind_alien)
            measure_sprite(std::string("squid ") + set + ", smallest", x, y, first_sprite(set));
        if (s.state == squid_flying && s.frame == 0 && s.kind == kind_supply)
            measure_sprite("supply, smallest", x, y, sprite_supply0);
        if (s.state == squid_exploding && s.frame < 16)
            measure_silhouette("explosion", x, y, sprite_explosion0 + s.frame, entries(15));
    }
    for (const drop& d : drops) {
        if (!d.active) continue;
        if (d.state == drop_falling)
            measure_sprite("drop", d.cell_x * block - 64 - scroll_x, d.cell_y * block - 64 - scroll_y,
                           d.kind == kind_alien ? falling_sprite(d.variety) : sprite_supply0 + 6);
        else if (d.blast_frame < 16)
            measure_silhouette("explosion", (d.cell_x - 8) * block - scroll_x, (d.cell_y - 8) * block - scroll_y,
                               sprite_explosion0 + d.blast_frame, entries(15));
    }
    if (shot_active) {
        const int x = shot_target_x - scroll_x, y = shot_target_y - scroll_y;
        if (!target_marker_hidden)
            measure(
                "target marker", on_screen(x - 8, y - 8, 25, 25),
                [&] {
                    draw_filled_box(canvas, x - 8, y, x + 16, y + 8, 15);
                    draw_filled_box(canvas, x, y - 8, x + 8, y + 16, 15);
                },
                entries(16));
        measure_silhouette("shot", shot_x - 64 - scroll_x, shot_y - scroll_y, sprite_beam0 - 1 + shot_time, {15});
    }
    if (popup.active) {
        measure_text("\"Chain\"", 8, 8, "Chain", 2);
        measure_text("\"BREAK\"", 216, 8, "BREAK", 15);
        measure_text("chain pay-out", popup.x, popup.y, popup.text, popup.colour);
    } else {
        measure_text("\"Chain\"", 8, 8, "Chain  " + padded_number(chain, 3), 2);
    }
    for (const text_slot& slot : banner_slots)
        if (slot.active && slot.timer > 5)
            measure_text("\"" + slot.text.substr(0, 5) + "\" banner", slot.x, slot.y, slot.text,
                         slot.colour < 0 ? random_ink : slot.colour);
    measure_silhouette("cursor", player_x - 64, player_y - 64, sprite_cursor, {15});
    // The gauge's white frame against the sky around it, its inside as shown.
    measure("energy gauge", on_screen(456, 8, 176, 32), [] {
        draw_filled_box(canvas, 456, 8, 631, 39, 15);
        for (int y = 16; y < 32; ++y)
            std::memcpy(&canvas->pixels[y * canvas->pitch + 464], &frame_pixels[y * screen_width + 464], 160);
    });
    measure_text("\"SCORE\"", 8, 416, "SCORE", -1);
    measure_text("score digits", 320, 416, padded_number(score, 8), -1);
}

// Plays a recorded game from tests/replays to its end, measuring every frame.
void play_recording(const char* name) {
    std::ifstream in(fs::path(KORVANE_SOURCE_DIR) / "tests/replays" / name, std::ios::binary);
    script_contents script;
    std::string error;
    ASSERT_TRUE(parse_script(in, script, error)) << name << ": " << error;
    reset_game_state();  // as a program starts, whatever ran before in this process
    headless_platform platform(std::move(script.events), {}, std::nullopt);
    recording_sound_library sound;
    use_sound_library(&sound);
    install_platform(&platform);
    keep_hi_score_apart(script.best_at_start);
    set_frame_end_hook(measure_frame);
    char program[] = "korvane", quiet[] = "nosound";
    char* args[] = {program, quiet, nullptr};
    try {
        run_program(2, args, false);
    } catch (const headless_run_over&) {
    }
    // The run ended where its script did, before the program let go of anything.
    free_graphics();
    set_frame_end_hook(nullptr);
    install_platform(nullptr);
    use_sound_library(nullptr);
}

std::string percent(double share) {
    return std::to_string(static_cast<int>(std::floor(share * 1000)) / 10.0).substr(0, 4) + "%";
}

}  // namespace

TEST(ReadablePlay, EverythingDrawnInPlayReadsAgainstTheFieldUnderIt) {
    for (const char* name : {"autoplay-to-stage-5.script", "autoplay-two-bonus-stages-to-stage-6.script"})
        play_recording(name);
    destroy_image(canvas);
    canvas = nullptr;

    // What each scheme shows, seen often enough that the games measured it.
    const std::vector<std::vector<std::string>> seen_on = {
        {"squid A, smallest", "squid B, smallest", "squid C, smallest", "supply, smallest", "\"STAGE\" banner"},
        {"squid A, smallest", "squid B, smallest", "squid D, smallest", "\"STAGE\" banner"},
        {"drop", "\"BONUS\" banner"},
    };
    for (int background = 0; background < 3; ++background) {
        std::vector<std::string> kinds = seen_on[background];
        for (const char* everywhere : {"cursor", "shot", "target marker", "explosion", "\"Chain\"", "\"BREAK\"",
                                       "chain pay-out", "energy gauge", "\"SCORE\"", "score digits"})
            kinds.push_back(everywhere);
        for (const std::string& kind : kinds)
            EXPECT_GE(tallies[kind][background].appearances, 2) << kind << " on BG" << background;
    }

    // The flashes read on every ground in any frame, whatever else is picked.
    const int flashes[] = {3, 5, 6, 11, 13, 15};
    for (const auto& [kind, on] : tallies)
        for (int background = 0; background < 3; ++background) {
            const tally& t = on[background];
            if (t.appearances == 0) continue;
            std::string line = kind + " on BG" + std::to_string(background) + ": " + std::to_string(t.appearances) +
                               " frames, " + std::to_string(t.covered) + " covered;";
            for (std::size_t c = 0; c < t.reading.size(); ++c)
                line += (t.reading.size() > 1 ? " " + std::to_string(c) + ":" : " ") + percent(t.share(c));
            std::printf("%s\n", line.c_str());
            if (t.reading.size() == 1) {
                EXPECT_GE(t.share(), 0.9) << line;
                continue;
            }
            int picks_reading = 0;
            for (std::size_t c = 0; c < t.reading.size(); ++c) picks_reading += t.share(c) >= 0.9;
            for (const int flash : flashes) EXPECT_GE(t.share(flash), 0.9) << line;
            // The banner on its own dark sky reads in all but the darkest four.
            if (kind == "\"BONUS\" banner" && background == 2) {
                EXPECT_GE(picks_reading, 13) << line;
            }
        }
    // What the finished pictures show is what was measured: texts, the
    // cursor and squids are seldom covered.
    for (const auto& [kind, on] : tallies)
        for (const tally& t : on)
            if (kind.starts_with("squid") || kind.starts_with("\"") || kind == "cursor") {
                EXPECT_LE(t.covered * 5, t.appearances) << kind;
            }
}
