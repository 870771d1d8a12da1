#pragma once
// A digest of what a player sees: a 640x480 page and its palette, in 64 bits.
// For traces and recorded games, where every frame of a game is compared, so
// it runs at memory speed: eight lanes of 64-bit words, each word mixed in
// with one 32x32-bit multiply, which SSE2 does two at a time and AVX2 four
// (chosen as the program starts, by what the processor has).
#include <cstddef>
#include <cstdint>

#include "present/platform.h"

std::uint64_t picture_digest(const std::uint8_t* pixels, const rgb* palette);

// The same digest of any bytes (a multiple of 64 long), computed word by word
// without vector instructions: the definition the fast path must match.
std::uint64_t bytes_digest_portable(const std::uint8_t* bytes, std::size_t size);
#if defined(__SSE2__)
std::uint64_t bytes_digest_sse2(const std::uint8_t* bytes, std::size_t size);
#endif
// The fastest way this processor has.
std::uint64_t bytes_digest(const std::uint8_t* bytes, std::size_t size);
