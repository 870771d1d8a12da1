#include "present/picture_digest.h"

#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
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

#if defined(__SSE2__) && defined(__GNUC__)
namespace {

// The same steps as below, four lanes a register, for processors that have
// AVX2 (most do): half the instructions.
__attribute__((target("avx2"))) __m256i avx2_step(__m256i acc, const std::uint8_t* p, __m256i key) {
    const __m256i word = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i m = _mm256_xor_si256(word, key);
    const __m256i product = _mm256_mul_epu32(m, _mm256_srli_epi64(m, 32));
    const __m256i swapped = _mm256_shuffle_epi32(word, _MM_SHUFFLE(2, 3, 0, 1));
    return _mm256_add_epi64(acc, _mm256_add_epi64(swapped, product));
}

__attribute__((target("avx2"))) std::uint64_t bytes_digest_avx2(const std::uint8_t* bytes, std::size_t size) {
    const __m256i key0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lane_keys));
    const __m256i key1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(lane_keys + 4));
    __m256i acc0 = _mm256_setzero_si256(), acc1 = acc0;
    for (std::size_t at = 0; at + 8 * lanes <= size; at += 8 * lanes) {
        acc0 = avx2_step(acc0, bytes + at, key0);
        acc1 = avx2_step(acc1, bytes + at + 32, key1);
    }
    std::uint64_t lane[lanes];
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(lane), acc0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(lane + 4), acc1);
    return finish(lane, size);
}

const bool has_avx2 = __builtin_cpu_supports("avx2");

}  // namespace
#endif

#if defined(__SSE2__)
std::uint64_t bytes_digest_sse2(const std::uint8_t* bytes, std::size_t size) {
    // Two lanes a register, the four registers named so that every build
    // keeps them in registers: xor with the keys, multiply the halves
    // (pmuludq), add the swapped word (pshufd) and the product.
    const auto key_pair = [](int r) {
        return _mm_set_epi64x(static_cast<long long>(lane_keys[2 * r + 1]), static_cast<long long>(lane_keys[2 * r]));
    };
    const __m128i key0 = key_pair(0), key1 = key_pair(1), key2 = key_pair(2), key3 = key_pair(3);
    __m128i acc0 = _mm_setzero_si128(), acc1 = acc0, acc2 = acc0, acc3 = acc0;
    const auto step = [](__m128i acc, const std::uint8_t* p, __m128i key) {
        const __m128i word = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i m = _mm_xor_si128(word, key);
        const __m128i product = _mm_mul_epu32(m, _mm_srli_epi64(m, 32));
        const __m128i swapped = _mm_shuffle_epi32(word, _MM_SHUFFLE(2, 3, 0, 1));
        return _mm_add_epi64(acc, _mm_add_epi64(swapped, product));
    };
    for (std::size_t at = 0; at + 8 * lanes <= size; at += 8 * lanes) {
        acc0 = step(acc0, bytes + at, key0);
        acc1 = step(acc1, bytes + at + 16, key1);
        acc2 = step(acc2, bytes + at + 32, key2);
        acc3 = step(acc3, bytes + at + 48, key3);
    }
    std::uint64_t lane[lanes];
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lane), acc0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lane + 2), acc1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lane + 4), acc2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(lane + 6), acc3);
    return finish(lane, size);
}
#endif

std::uint64_t bytes_digest(const std::uint8_t* bytes, std::size_t size) {
#if defined(__SSE2__) && defined(__GNUC__)
    if (has_avx2) return bytes_digest_avx2(bytes, size);
#endif
#if defined(__SSE2__)
    return bytes_digest_sse2(bytes, size);
#else
    return bytes_digest_portable(bytes, size);
#endif
}

std::uint64_t picture_digest(const std::uint8_t* pixels, const rgb* palette) {
    // The palette's bytes, whole blocks of them, count as more picture.
    static_assert(screen_width * screen_height % 64 == 0 && sizeof(rgb) == 3 && 256 * 3 % 64 == 0);
    return bytes_digest(pixels, screen_width * screen_height) ^
           rotate_halves(bytes_digest(reinterpret_cast<const std::uint8_t*>(palette), 256 * 3));
}
