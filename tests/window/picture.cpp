#include "picture.h"

#include <png.h>

#include <algorithm>
#include <fstream>

namespace {

std::uint32_t big_endian(const std::string& bytes, std::size_t at) {
    const auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

// A channel of a pixel, by its mask, scaled to 8 bits.
std::uint8_t channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0) ++shift;
    const std::uint32_t max = mask >> shift;
    return static_cast<std::uint8_t>(((pixel & mask) >> shift) * 255 / max);
}

}  // namespace

picture read_xwd(const std::string& bytes) {
    constexpr std::size_t header_words = 25, colour_entry_size = 12;
    if (bytes.size() < header_words * 4) return {};
    const auto word = [&](int i) { return big_endian(bytes, static_cast<std::size_t>(i) * 4); };
    const std::uint32_t header_size = word(0), width = word(4), height = word(5), byte_order = word(7),
                        bits_per_pixel = word(11), bytes_per_line = word(12), red = word(14), green = word(15),
                        blue = word(16), colours = word(19);
    if (word(1) != 7 || word(2) != 2 || bits_per_pixel != 32 || width > 10000 || height > 10000) return {};
    const std::size_t data = header_size + std::size_t{colours} * colour_entry_size;
    if (bytes.size() < data + std::size_t{bytes_per_line} * height) return {};
    picture p{static_cast<int>(width), static_cast<int>(height), {}};
    p.pixels.reserve(std::size_t{width} * height);
    for (std::uint32_t y = 0; y < height; ++y) {
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t at = data + std::size_t{y} * bytes_per_line + std::size_t{x} * 4;
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i) {
                const std::uint32_t byte = static_cast<unsigned char>(bytes[at + i]);
                v |= byte_order == 0 ? byte << (8 * i) : byte << (8 * (3 - i));
            }
            p.pixels.push_back({channel(v, red), channel(v, green), channel(v, blue)});
        }
    }
    return p;
}

picture read_png(const std::string& path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGB;
    std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    picture p{static_cast<int>(image.width), static_cast<int>(image.height), {}};
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3) p.pixels.push_back({rgb[i], rgb[i + 1], rgb[i + 2]});
    return p;
}

signature common_pixels(const std::vector<picture>& shots, const std::vector<picture>& unlike) {
    signature s;
    if (shots.empty()) return s;
    const picture& first = shots.front();
    for (int i = 0; i < first.width * first.height; ++i) {
        const colour c = first.pixels[static_cast<std::size_t>(i)];
        const bool shared = std::all_of(shots.begin(), shots.end(),
                                        [&](const picture& p) { return p.pixels[static_cast<std::size_t>(i)] == c; });
        const bool elsewhere = std::any_of(
            unlike.begin(), unlike.end(), [&](const picture& p) { return p.pixels[static_cast<std::size_t>(i)] == c; });
        if (shared && !elsewhere) {
            s.offsets.push_back(i);
            s.colours.push_back(c);
        }
    }
    return s;
}

double matching_share(const picture& shown, const signature& s) {
    if (s.offsets.empty() || shown.width * shown.height < 640 * 480) return 0;
    std::size_t matching = 0;
    for (std::size_t i = 0; i < s.offsets.size(); ++i)
        if (shown.at(s.offsets[i] % 640, s.offsets[i] / 640) == s.colours[i]) ++matching;
    return static_cast<double>(matching) / static_cast<double>(s.offsets.size());
}

bool is_enlarged(const picture& shown, const picture& reference, int factor) {
    if (shown.width != reference.width * factor || shown.height != reference.height * factor) return false;
    for (int y = 0; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
            if (!(shown.at(x, y) == reference.at(x / factor, y / factor))) return false;
    return true;
}

double block_centre_share(const picture& shown, const area& where, const picture& reference) {
    int blocks = 0, matching = 0;
    for (int by = 0; by < reference.height / 8; ++by) {
        for (int bx = 0; bx < reference.width / 8; ++bx) {
            const int x = where.x + (bx * 8 + 4) * where.width / reference.width;
            const int y = where.y + (by * 8 + 4) * where.height / reference.height;
            ++blocks;
            if (x < shown.width && y < shown.height && shown.at(x, y) == reference.at(bx * 8 + 4, by * 8 + 4))
                ++matching;
        }
    }
    return blocks == 0 ? 0 : static_cast<double>(matching) / blocks;
}

int count_colour(const picture& shown, const area& where, colour c) {
    int n = 0;
    for (int y = where.y; y < where.y + where.height && y < shown.height; ++y)
        for (int x = where.x; x < where.x + where.width && x < shown.width; ++x)
            if (shown.at(x, y) == c) ++n;
    return n;
}

bool filled_with(const picture& shown, const area& where, colour c) {
    return where.x + where.width <= shown.width && where.y + where.height <= shown.height &&
           count_colour(shown, where, c) == where.width * where.height;
}

void write_ppm(const picture& p, const std::string& path) {
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << p.width << " " << p.height << "\n255\n";
    for (const colour& c : p.pixels) out << c.r << c.g << c.b;
}
