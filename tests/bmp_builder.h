#pragma once
// Builds BMP files byte by byte for the loader's tests and fuzz seeds.
#include <cstdint>
#include <string>
#include <vector>

struct bmp_fields {
    int width = 4;
    int height = 3;
    int bits = 8;
    int table_entries = 256;
    // Palette indices, top row first; bits below 8 use the low bits.
    std::vector<std::uint8_t> pixels;
};

inline void put_le(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// Colour table entry i is (red i, green 255 - i, blue i / 2).
inline std::vector<std::uint8_t> build_bmp(const bmp_fields& s) {
    const int row_bytes = (s.width * s.bits + 7) / 8;
    const int stride = (row_bytes + 3) & ~3;
    const std::uint32_t offset = 54 + 4 * s.table_entries;
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put_le(out, offset + stride * s.height, 4);
    put_le(out, 0, 4);
    put_le(out, offset, 4);
    put_le(out, 40, 4);
    put_le(out, static_cast<std::uint32_t>(s.width), 4);
    put_le(out, static_cast<std::uint32_t>(s.height), 4);
    put_le(out, 1, 2);
    put_le(out, static_cast<std::uint32_t>(s.bits), 2);
    put_le(out, 0, 4);
    put_le(out, static_cast<std::uint32_t>(stride * s.height), 4);
    put_le(out, 2835, 4);
    put_le(out, 2835, 4);
    put_le(out, static_cast<std::uint32_t>(s.table_entries), 4);
    put_le(out, 0, 4);
    for (int i = 0; i < s.table_entries; ++i) {
        out.push_back(static_cast<std::uint8_t>(i / 2));
        out.push_back(static_cast<std::uint8_t>(255 - i));
        out.push_back(static_cast<std::uint8_t>(i));
        out.push_back(0);
    }
    for (int y = s.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < s.width; ++x) {
            const std::uint8_t v = s.pixels.empty() ? 0 : s.pixels[y * s.width + x];
            if (s.bits == 8)
                row[x] = v;
            else if (s.bits == 4)
                row[x / 2] |= (v & 15) << ((x & 1) ? 0 : 4);
            else if (s.bits == 1)
                row[x / 8] |= (v & 1) << (7 - x % 8);
            else
                for (int b = 0; b < s.bits / 8; ++b) row[x * (s.bits / 8) + b] = v;
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}
