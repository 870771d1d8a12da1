// The shape of the explosion that shot squids and drops leave: its frames are
// drawn as one-colour silhouettes in a colour drawn at random each frame, so
// the shape alone has to read as a burst. Runs in the game folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "assets/assets.h"
#include "present/image.h"
#include "test_screen.h"

namespace {

constexpr int frame_cells = 16;
constexpr int frame_count = sprite_explosion15 - sprite_explosion0 + 1;
// The flash's solid core: the twelve cells around the centre, a rounded 4x4.
constexpr double core_radius = 2.0;

// A frame as its source cells, each enlarged to an 8x8 block: lit where the sprite is opaque.
using frame_shape = std::array<std::array<bool, frame_cells>, frame_cells>;

frame_shape shape_of(const image* sprite) {
    frame_shape lit{};
    for (int y = 0; y < frame_cells; ++y)
        for (int x = 0; x < frame_cells; ++x) lit[y][x] = read_pixel(sprite, 8 * x + 4, 8 * y + 4) != 0;
    return lit;
}

double distance_from_centre(int x, int y) {
    return std::hypot(x + 0.5 - frame_cells / 2.0, y + 0.5 - frame_cells / 2.0);
}

// The most cells of one piece, cells touching by an edge.
int largest_piece(const frame_shape& lit) {
    frame_shape seen{};
    int largest = 0;
    for (int y0 = 0; y0 < frame_cells; ++y0)
        for (int x0 = 0; x0 < frame_cells; ++x0) {
            if (!lit[y0][x0] || seen[y0][x0]) continue;
            int size = 0;
            std::vector<std::array<int, 2>> open{{x0, y0}};
            seen[y0][x0] = true;
            while (!open.empty()) {
                const auto [x, y] = open.back();
                open.pop_back();
                ++size;
                for (const auto [dx, dy] : {std::array{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                    const int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= frame_cells || ny >= frame_cells) continue;
                    if (!lit[ny][nx] || seen[ny][nx]) continue;
                    seen[ny][nx] = true;
                    open.push_back({nx, ny});
                }
            }
            largest = std::max(largest, size);
        }
    return largest;
}

// What the test reads of a frame's shape, distances from the sprite's centre in cells.
struct frame_measures {
    int lit = 0;                   // cells lit
    bool core_solid = true;        // every cell of the core lit
    bool core_dark = true;         // no cell of the core lit
    double extent = 0;             // the farthest lit cell
    double nearest = frame_cells;  // the nearest lit cell
    bool on_border = false;        // a lit cell on the sprite's outer row or column
    int largest_piece = 0;
};

frame_measures measure(const frame_shape& lit) {
    frame_measures m;
    for (int y = 0; y < frame_cells; ++y)
        for (int x = 0; x < frame_cells; ++x) {
            const double distance = distance_from_centre(x, y);
            if (distance < core_radius) (lit[y][x] ? m.core_dark : m.core_solid) = false;
            if (!lit[y][x]) continue;
            ++m.lit;
            m.extent = std::max(m.extent, distance);
            m.nearest = std::min(m.nearest, distance);
            m.on_border = m.on_border || x == 0 || y == 0 || x == frame_cells - 1 || y == frame_cells - 1;
        }
    m.largest_piece = largest_piece(lit);
    return m;
}

}  // namespace

// A dense flash that grows for three frames, then a burst whose centre is open,
// that only ever spreads, breaks into pieces with no blob among them, thins out
// over its second half and ends in sparks at the sprite's edge.
TEST(ExplosionFrames, FlashThenBurstIntoShardsThatSpreadAndThin) {
    test_screen screen;
    load_graphics();
    const double pi = std::acos(-1.0);
    frame_measures last;
    int lit_at_half = 0;
    for (int frame = 0; frame < frame_count; ++frame) {
        SCOPED_TRACE("explosion frame " + std::to_string(frame));
        const frame_measures m = measure(shape_of(sprite_images[sprite_explosion0 + frame]));
        ASSERT_GT(m.lit, 0);
        EXPECT_GE(m.extent, last.extent) << "the burst draws back in";
        if (frame < 3) {
            EXPECT_GT(m.lit, last.lit) << "the flash does not grow";
            EXPECT_TRUE(m.core_solid) << "the flash's core has a hole";
        } else {
            EXPECT_TRUE(m.core_dark) << "the centre is still lit after the flash";
        }
        if (frame >= 4) {
            EXPECT_LT(m.largest_piece, pi * m.extent * m.extent / 5) << "one piece fills the burst: a blob";
        }
        if (frame == frame_count / 2) lit_at_half = m.lit;
        if (frame > frame_count / 2) {
            EXPECT_LE(m.lit, last.lit) << "the burst fills up again";
        }
        if (frame >= frame_count - 3) {
            EXPECT_GE(m.nearest, 6.0) << "the last sparks are not out at the edge";
            EXPECT_TRUE(m.on_border) << "the last sparks do not reach the sprite's border";
        }
        last = m;
    }
    EXPECT_LT(last.lit, lit_at_half / 2) << "the second half does not thin out";
    free_graphics();
}
