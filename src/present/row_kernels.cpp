#include "present/row_kernels.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace portable {

void transparent_row(const std::uint8_t* in, std::uint8_t* out, int width) {
    for (int x = 0; x < width; ++x)
        if (in[x] != 0) out[x] = in[x];
}

void silhouette_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour) {
    for (int x = 0; x < width; ++x)
        if (in[x] != 0) out[x] = colour;
}

void colour_to_zero_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour) {
    for (int x = 0; x < width; ++x)
        if (in[x] != 0) out[x] = in[x] == colour ? 0 : in[x];
}

}  // namespace portable

#if defined(__SSE2__)

namespace {

// Runs step(source, target, opaque) over each 16 pixels that are not all
// colour 0 (opaque: 0xFF where the source pixel is not colour 0), and the
// portable loop over the rest of the row.
template <typename Step, typename Tail>
inline void each_step(const std::uint8_t* in, std::uint8_t* out, int width, Step step, Tail tail) {
    const __m128i zero = _mm_setzero_si128();
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + x));
        const __m128i clear = _mm_cmpeq_epi8(s, zero);
        if (_mm_movemask_epi8(clear) == 0xFFFF) continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + x));
        const __m128i opaque = _mm_xor_si128(clear, _mm_set1_epi8(-1));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), step(s, d, opaque));
    }
    tail(in + x, out + x, width - x);
}

// Where opaque, a; elsewhere b.
inline __m128i choose(__m128i opaque, __m128i a, __m128i b) {
    return _mm_or_si128(_mm_and_si128(opaque, a), _mm_andnot_si128(opaque, b));
}

}  // namespace

void transparent_row(const std::uint8_t* in, std::uint8_t* out, int width) {
    each_step(
        in, out, width, [](__m128i s, __m128i d, __m128i opaque) { return choose(opaque, s, d); },
        portable::transparent_row);
}

void silhouette_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour) {
    const __m128i c = _mm_set1_epi8(static_cast<char>(colour));
    each_step(
        in, out, width, [c](__m128i, __m128i d, __m128i opaque) { return choose(opaque, c, d); },
        [colour](const std::uint8_t* i, std::uint8_t* o, int w) { portable::silhouette_row(i, o, w, colour); });
}

void colour_to_zero_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour) {
    const __m128i c = _mm_set1_epi8(static_cast<char>(colour));
    each_step(
        in, out, width,
        [c](__m128i s, __m128i d, __m128i opaque) {
            const __m128i blanked = _mm_andnot_si128(_mm_cmpeq_epi8(s, c), s);  // the colour becomes 0
            return choose(opaque, blanked, d);
        },
        [colour](const std::uint8_t* i, std::uint8_t* o, int w) { portable::colour_to_zero_row(i, o, w, colour); });
}

#else

void transparent_row(const std::uint8_t* in, std::uint8_t* out, int width) {
    portable::transparent_row(in, out, width);
}
void silhouette_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour) {
    portable::silhouette_row(in, out, width, colour);
}
void colour_to_zero_row(const std::uint8_t* in, std::uint8_t* out, int width, std::uint8_t colour) {
    portable::colour_to_zero_row(in, out, width, colour);
}

#endif
