#include "present/default_palette.h"

#include <array>

namespace {

// The VGA DAC holds 6-bit levels; the 8-bit value is level * 255 / 63, truncated.
std::uint8_t from_dac(int level) { return static_cast<std::uint8_t>(level * 255 / 63); }

rgb dac(int r, int g, int b) { return {from_dac(r), from_dac(g), from_dac(b)}; }

// One hue ring: 24 colours around the colour wheel from blue through red,
// yellow, green and cyan, mixing the lowest and highest of five levels.
void fill_ring(rgb* out, const std::array<int, 5>& l) {
    const int lo = l[0], hi = l[4];
    const int ramp[24][3] = {
        {lo, lo, hi},   {l[1], lo, hi}, {l[2], lo, hi}, {l[3], lo, hi}, {hi, lo, hi},   {hi, lo, l[3]},
        {hi, lo, l[2]}, {hi, lo, l[1]}, {hi, lo, lo},   {hi, l[1], lo}, {hi, l[2], lo}, {hi, l[3], lo},
        {hi, hi, lo},   {l[3], hi, lo}, {l[2], hi, lo}, {l[1], hi, lo}, {lo, hi, lo},   {lo, hi, l[1]},
        {lo, hi, l[2]}, {lo, hi, l[3]}, {lo, hi, hi},   {lo, l[3], hi}, {lo, l[2], hi}, {lo, l[1], hi},
    };
    for (int i = 0; i < 24; ++i) out[i] = dac(ramp[i][0], ramp[i][1], ramp[i][2]);
}

}  // namespace

void fill_default_palette(rgb palette[256]) {
    static const int text_colours[16][3] = {
        {0, 0, 0},    {0, 0, 42},   {0, 42, 0},   {0, 42, 42},  {42, 0, 0},   {42, 0, 42},  {42, 21, 0},  {42, 42, 42},
        {21, 21, 21}, {21, 21, 63}, {21, 63, 21}, {21, 63, 63}, {63, 21, 21}, {63, 21, 63}, {63, 63, 21}, {63, 63, 63},
    };
    for (int i = 0; i < 16; ++i) palette[i] = dac(text_colours[i][0], text_colours[i][1], text_colours[i][2]);

    static const int greys[16] = {0, 5, 8, 11, 14, 17, 20, 24, 28, 32, 36, 40, 45, 50, 56, 63};
    for (int i = 0; i < 16; ++i) palette[16 + i] = dac(greys[i], greys[i], greys[i]);

    // Three intensities, each with a saturated, a pastel and a pale ring.
    static const std::array<int, 5> rings[9] = {
        {0, 16, 31, 47, 63},  {31, 39, 47, 55, 63}, {45, 49, 54, 58, 63}, {0, 7, 14, 21, 28},   {14, 17, 21, 24, 28},
        {20, 22, 24, 26, 28}, {0, 4, 8, 12, 16},    {8, 10, 12, 14, 16},  {11, 12, 13, 15, 16},
    };
    for (int r = 0; r < 9; ++r) fill_ring(palette + 32 + 24 * r, rings[r]);

    for (int i = 248; i < 256; ++i) palette[i] = {0, 0, 0};
}
