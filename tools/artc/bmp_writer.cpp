#include "bmp_writer.h"

namespace artc {

namespace {

constexpr std::uint32_t file_header_size = 14;
constexpr std::uint32_t info_header_size = 40;
constexpr std::uint32_t colour_table_size = 256 * 4;
constexpr std::uint32_t pixel_offset = file_header_size + info_header_size + colour_table_size;
// 72 dots per inch, in the pixels per metre that BMP wants.
constexpr std::uint32_t pixels_per_metre = 2835;

void put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    }
}

}  // namespace

std::vector<std::uint8_t> encode_bmp(const picture& picture, const palette& palette) {
    const auto width = static_cast<std::uint32_t>(picture.width);
    const auto height = static_cast<std::uint32_t>(picture.height);
    const std::uint32_t row_stride = (width + 3) / 4 * 4;
    const std::uint32_t pixel_bytes = row_stride * height;

    std::vector<std::uint8_t> out;
    out.reserve(pixel_offset + pixel_bytes);

    out.push_back('B');
    out.push_back('M');
    put32(out, pixel_offset + pixel_bytes);
    put32(out, 0);  // reserved
    put32(out, pixel_offset);

    put32(out, info_header_size);
    put32(out, width);
    put32(out, height);  // positive height: rows are stored bottom-up
    put16(out, 1);       // colour planes
    put16(out, 8);       // bits per pixel
    put32(out, 0);       // no compression
    put32(out, pixel_bytes);
    put32(out, pixels_per_metre);
    put32(out, pixels_per_metre);
    put32(out, 256);  // colours used
    put32(out, 0);    // all colours are important

    for (const rgb& colour : palette) {
        out.push_back(colour.b);
        out.push_back(colour.g);
        out.push_back(colour.r);
        out.push_back(0);
    }

    for (int y = picture.height - 1; y >= 0; --y) {
        for (int x = 0; x < picture.width; ++x) {
            out.push_back(picture.at(x, y));
        }
        out.resize(out.size() + (row_stride - width), 0);
    }
    return out;
}

}  // namespace artc
