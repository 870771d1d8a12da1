#include "present/picture_digest.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "present/screen.h"

namespace {

constexpr int lanes = 8;
// Odd constants with well-spread bits, one per lane, so that equal words in
// different lanes count differently.
constexpr std::uint64_t lane_keys[lanes] = {
    0x9E3779B97F4A7C15ull, 0xC2B2AE3D27D4EB4Full, 0x165667B19E3779F9ull, 0xD6E8FEB86659FD93ull,
    0xA0761D6478BD642Full, 0xE7037ED1A0B428DBull, 0x8EBC6AF09C88C6E3ull, 0x589965CC75374CC3ull,
};

std::uint64_t load_word(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

std::uint64_t rotate_halves(std::uint64_t w) { return w << 32 | w >> 32; }

// One word into its lane: the word's halves swapped, plus the product of the
// halves of the word mixed with the lane's key.
std::uint64_t mix_in(std::uint64_t lane, std::uint64_t word, std::uint64_t key) {
    const std::uint64_t m = word ^ key;
    return lane + rotate_halves(word) + (m & 0xFFFFFFFFull) * (m >> 32);
}

// The lanes folded into one value, each step avalanching all bits.
std::uint64_t finish(const std::uint64_t (&lane)[lanes], std::size_t size) {
    std::uint64_t h = size * 0x9E3779B97F4A7C15ull;
    for (const std::uint64_t v : lane) {
        h ^= v;
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        h ^= h >> 33;
    }
    return h;
}

}  // namespace

std::uint64_t bytes_digest_portable(const std::uint8_t* bytes, std::size_t size) {
    std::uint64_t lane[lanes] = {};
    for (std::size_t at = 0; at + 8 * lanes <= size; at += 8 * lanes)
        for (int l = 0; l < lanes; ++l) lane[l] = mix_in(lane[l], load_word(bytes + at + 8 * l), lane_keys[l]);
    return finish(lane, size);
}

std::uint64_t bytes_digest(const std::uint8_t* bytes, std::size_t size) {
#if defined(__SSE2__)
    // Two lanes a register: xor with the keys, multiply the halves
    // (pmuludq), add the swapped word (pshufd) and the product.
    __m128i acc[lanes / 2], key[lanes / 2];
    for (int r = 0; r < lanes / 2; ++r) {
        acc[r] = _mm_setzero_si128();
        key[r] = _mm_set_epi64x(static_cast<long long>(lane_keys[2 * r + 1]), static_cast<long long>(lane_keys[2 * r]));
    }
    for (std::size_t at = 0; at + 8 * lanes <= size; at += 8 * lanes) {
        for (int r = 0; r < lanes / 2; ++r) {
            const __m128i word = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 16 * r));
            const __m128i m = _mm_xor_si128(word, key[r]);
            const __m128i product = _mm_mul_epu32(m, _mm_srli_epi64(m, 32));
            const __m128i swapped = _mm_shuffle_epi32(word, _MM_SHUFFLE(2, 3, 0, 1));
            acc[r] = _mm_add_epi64(acc[r], _mm_add_epi64(swapped, product));
        }
    }
    std::uint64_t lane[lanes];
    for (int r = 0; r < lanes / 2; ++r) _mm_storeu_si128(reinterpret_cast<__m128i*>(lane + 2 * r), acc[r]);
    return finish(lane, size);
#else
    return bytes_digest_portable(bytes, size);
#endif
}

std::uint64_t picture_digest(const std::uint8_t* pixels, const rgb* palette) {
    static_assert(screen_width * screen_height % 64 == 0 && sizeof(rgb) == 3);
    // The palette, padded to whole blocks, counts as more picture.
    std::uint8_t colours[(256 * 3 + 63) / 64 * 64] = {};
    std::memcpy(colours, palette, 256 * 3);
    return bytes_digest(pixels, screen_width * screen_height) ^
           rotate_halves(bytes_digest(colours, sizeof colours));
}
