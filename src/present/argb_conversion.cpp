#include "present/argb_conversion.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "present/screen.h"

namespace {

// Eight pixels of one colour: two 16-byte stores where SSE2 is at hand, so
// that no build depends on the optimiser to find them.
void write_eight(std::uint8_t* out, std::uint32_t colour) {
#if defined(__SSE2__)
    const __m128i four = _mm_set1_epi32(static_cast<int>(colour));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), four);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16), four);
#else
    for (int i = 0; i < 8; ++i) std::memcpy(out + 4 * i, &colour, 4);
#endif
}

}  // namespace

void convert_to_argb(const std::uint8_t* pixels, const rgb* palette, std::uint8_t* out, std::size_t out_pitch) {
    std::uint32_t lookup[256];
    for (int i = 0; i < 256; ++i)
        lookup[i] = 0xFF000000u | std::uint32_t{palette[i].r} << 16 | std::uint32_t{palette[i].g} << 8 | palette[i].b;
    for (int y = 0; y < screen_height; ++y) {
        const std::uint8_t* in = pixels + y * screen_width;
        std::uint8_t* row = out + y * out_pitch;
        // Eight pixels a step: one load of their indices and one 32-byte
        // write. The game's pictures are made of 8x8 blocks on an 8-pixel
        // grid, so most steps are one colour and need one lookup.
        for (int x = 0; x < screen_width; x += 8) {
            std::uint64_t indices;
            std::memcpy(&indices, in + x, 8);
            if (indices == 0x0101010101010101ull * (indices & 0xFF)) {
                write_eight(row + 4 * x, lookup[indices & 0xFF]);
                continue;
            }
            std::uint32_t argb[8];
            for (int i = 0; i < 8; ++i) argb[i] = lookup[(indices >> (8 * i)) & 0xFF];
            std::memcpy(row + 4 * x, argb, sizeof argb);
        }
    }
}
