#include "autoplay/aiming.h"

#include <algorithm>
#include <cmath>

#include "combat/combat.h"

namespace {

// Where a cursor's shot lands on the field: the scroll follows the cursor
// in steps of 8 pixels.
double field_x(int cursor_x) { return cursor_x + (((cursor_x / 10) >> 3) << 3); }
double field_y(int cursor_y) { return cursor_y + (cursor_y / 64) * 8; }

// The cursor whose shot lands nearest to field point (x, y); false if none
// lands within the tolerance.
bool cursor_for(double x, double y, double tolerance, aim& result) {
    double best = tolerance;
    bool found = false;
    for (int cy = 0; cy <= 472; cy += 8) {
        const double fy = field_y(cy);
        if (std::abs(fy - y) >= best + 8) continue;
        for (int cx = 0; cx <= 632; cx += 8) {
            const double miss = std::max(std::abs(field_x(cx) - x), std::abs(fy - y));
            if (miss < best) {
                best = miss;
                result = {cx, cy};
                found = true;
            }
        }
    }
    return found;
}

}  // namespace

bool aim_at_squid(aim& result) {
    const bool wants_supply = energy <= 60;
    for (const bool supply_pass : {wants_supply, !wants_supply}) {
        for (int i = 0; i < squid_count; ++i) {
            const squid& s = squids[i];
            if (s.state != squid_flying || (s.kind == kind_supply) != supply_pass) continue;
            // Where it will be, and how big: a young squid is small and far.
            const int age = s.age + frames_until_landing;
            const double x = s.x + s.dx * frames_until_landing, y = s.y + s.dy * frames_until_landing;
            if (age < 20 || x < 0 || x > 688 || y < 8 || y > 520) continue;
            if (cursor_for(x, y + 2, age / 2 - 2, result)) return true;
        }
    }
    return false;
}

bool aim_at_drop(aim& result) {
    for (const drop& d : drops) {
        if (!d.active || d.state != drop_falling) continue;
        int cell_y = d.cell_y;
        for (int f = 1; f <= frames_until_landing; ++f) cell_y += d.age + f > 16 ? 2 : 1;
        if (cell_y > 68) continue;
        if (cursor_for(d.cell_x * 8 - 8, cell_y * 8 - 16, 40, result)) return true;
    }
    return false;
}

aim empty_corner() {
    const aim corners[4] = {{0, 0}, {632, 0}, {0, 472}, {632, 472}};
    aim best = corners[0];
    double best_distance = -1;
    for (const aim& c : corners) {
        const double fx = field_x(c.cursor_x), fy = field_y(c.cursor_y);
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
