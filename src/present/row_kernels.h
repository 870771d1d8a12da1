#pragma once
// The inner loops of the puts, one row at a time, 16 pixels a step where the
// machine has SSE2 (every x86-64 has), with a portable loop otherwise; both
// give the same pixels. Where a whole step of the source is colour 0, the
// target is not written at all.
#include <cstdint>

// out = in, except where in is colour 0.
void transparent_row(const std::uint8_t* in, std::uint8_t* out, int width);
// out = colour where in is not colour 0.
void silhouette_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour);
// out = in where in is not colour 0, but 0 where in is the colour.
void colour_to_zero_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour);

// The portable loops, for the tests that hold the fast ones to them.
namespace portable {
void transparent_row(const std::uint8_t* in, std::uint8_t* out, int width);
void silhouette_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour);
void colour_to_zero_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour);
}  // namespace portable
