// Writes the Windows icon file's directory and its DIB images, byte by byte in
// the little-endian layout Windows reads.
#include "ico_writer.h"

#include <stdexcept>

namespace iconc {

namespace {

constexpr std::uint32_t info_header_size = 40;
constexpr std::uint32_t icon_dir_size = 6;
constexpr std::uint32_t dir_entry_size = 16;

void put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

}  // namespace

std::vector<std::uint8_t> dib_image(const std::vector<std::uint8_t>& rgba, int size) {
    const auto side = static_cast<std::uint32_t>(size);
    if (size < 1 || size > 256 || rgba.size() != std::size_t{side} * side * 4) {
        throw std::invalid_argument("iconc: an icon image must be square RGBA, 1 to 256 pixels");
    }
    const std::uint32_t colour_bytes = side * side * 4;
    const std::uint32_t mask_stride = (side + 31) / 32 * 4;
    const std::uint32_t mask_bytes = mask_stride * side;

    std::vector<std::uint8_t> out;
    out.reserve(info_header_size + colour_bytes + mask_bytes);
    put32(out, info_header_size);
    put32(out, side);
    put32(out, side * 2);  // the colour rows and the mask rows, one above the other
    put16(out, 1);         // planes
    put16(out, 32);        // bits per pixel
    put32(out, 0);         // BI_RGB: uncompressed
    put32(out, colour_bytes + mask_bytes);
    for (int i = 0; i < 4; ++i) put32(out, 0);  // resolution and colour counts: unused in icons

    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::uint8_t* p = &rgba[(std::size_t{static_cast<std::uint32_t>(y)} * side + x) * 4];
            // Clear pixels are black too, so Windows that ignore alpha leave the desktop as it is.
            const bool clear = p[3] == 0;
            out.push_back(clear ? 0 : p[2]);
            out.push_back(clear ? 0 : p[1]);
            out.push_back(clear ? 0 : p[0]);
            out.push_back(p[3]);
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(mask_stride, 0);
        for (int x = 0; x < size; ++x) {
            if (rgba[(std::size_t{static_cast<std::uint32_t>(y)} * side + x) * 4 + 3] == 0) {
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<std::uint8_t> ico_file(const std::vector<ico_entry>& entries) {
    if (entries.empty() || entries.size() > 0xFFFF)
        throw std::invalid_argument("iconc: an icon needs 1 to 65535 images");
    std::vector<std::uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<std::uint32_t>(entries.size()));
    auto offset = static_cast<std::uint32_t>(icon_dir_size + dir_entry_size * entries.size());
    for (const ico_entry& entry : entries) {
        if (entry.size < 1 || entry.size > 256) throw std::invalid_argument("iconc: an icon image is 1 to 256 pixels");
        // A byte holds the side, so 256 is written as 0.
        const auto side = static_cast<std::uint8_t>(entry.size & 0xFF);
        out.push_back(side);
        out.push_back(side);
        out.push_back(0);  // no colour table
        out.push_back(0);  // reserved
        put16(out, 1);     // planes
        put16(out, 32);    // bits per pixel
        put32(out, static_cast<std::uint32_t>(entry.data.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(entry.data.size());
    }
    for (const ico_entry& entry : entries) out.insert(out.end(), entry.data.begin(), entry.data.end());
    return out;
}

}  // namespace iconc
