// iconc: turns the game's icon (.pix sources, each drawn for its own size) into
// the desktop's icons, the window icon built into the programs and, if asked,
// the Windows icon file.
//   iconc PALETTE ICON_DIR NAME WINDOW_ICON.cpp [--ico ICON.ico] SOURCE.pix...
// Writes ICON_DIR/hicolor/SxS/apps/NAME.png for S = 16, 24, 32, 64, 128 and 256,
// the source of window_icon_pixels at window_icon_size, and ICON.ico holding the
// icon at 16, 24, 32, 48, 64 and 128 px as DIBs and at 256 px as PNG. Each size
// is the source drawn for it, or else the largest source enlarged with hard
// pixel edges. Colour 0 is transparent, every other opaque.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "file_io.h"
#include "ico_writer.h"
#include "palette.h"
#include "pix_parser.h"
#include "present/window_icon.h"

namespace fs = std::filesystem;

namespace {

constexpr int desktop_sizes[] = {16, 24, 32, 64, 128, 256};

constexpr int windows_sizes[] = {16, 24, 32, 48, 64, 128, 256};
// From here up the .ico holds PNG: a 256 px DIB would take 260 KB, and the Windows that show
// icons this large (Vista on) read PNG.
constexpr int windows_png_from = 256;

// The icon's sources by their side.
using icon_sources = std::map<int, artc::picture>;

// The icon at size x size, as palette indices: the source drawn for that size, or the
// largest source with each pixel taken from its nearest source pixel, so edges stay hard
// at 1.5x as at 8x. A size below the largest needs a drawing of its own: shrunk, the
// ring's thin line blends into the sky and the eyes smear.
artc::picture drawn_at(const icon_sources& sources, int size) {
    if (const auto own = sources.find(size); own != sources.end()) return own->second;
    const artc::picture& largest = sources.rbegin()->second;
    if (size < largest.width) {
        throw std::runtime_error("iconc: no source is drawn for " + std::to_string(size) + " px");
    }
    artc::picture out(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) out.at(x, y) = largest.at(x * largest.width / size, y * largest.height / size);
    }
    return out;
}

// The icon at size x size, as RGBA bytes.
std::vector<std::uint8_t> rgba_at(const icon_sources& sources, const artc::palette& palette, int size) {
    const artc::picture drawn = drawn_at(sources, size);
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
    for (std::size_t i = 0; i < drawn.pixels.size(); ++i) {
        const std::uint8_t index = drawn.pixels[i];
        const artc::rgb c = palette[index];
        rgba[i * 4] = c.r;
        rgba[i * 4 + 1] = c.g;
        rgba[i * 4 + 2] = c.b;
        rgba[i * 4 + 3] = index == 0 ? 0 : 255;
    }
    return rgba;
}

void append_bytes(png_structp png, png_bytep data, png_size_t length) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    try {
        bytes->insert(bytes->end(), data, data + length);
    } catch (const std::exception&) {
        png_error(png, "out of memory");
    }
}

// The RGBA picture as the bytes of a PNG file.
std::vector<std::uint8_t> encode_png(const std::vector<std::uint8_t>& rgba, int size) {
    std::vector<std::uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    if (info == nullptr || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("iconc: cannot encode a " + std::to_string(size) + " px PNG");
    }
    png_set_write_fn(png, &bytes, append_bytes, nullptr);
    png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < size; ++y) png_write_row(png, &rgba[static_cast<std::size_t>(y) * size * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

void write_file(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("iconc: cannot write " + path.string());
}

void write_windows_icon(const fs::path& path, const icon_sources& sources, const artc::palette& palette) {
    std::vector<iconc::ico_entry> entries;
    for (const int size : windows_sizes) {
        const std::vector<std::uint8_t> rgba = rgba_at(sources, palette, size);
        entries.push_back({size, size >= windows_png_from ? encode_png(rgba, size) : iconc::dib_image(rgba, size)});
    }
    write_file(path, iconc::ico_file(entries));
}

void write_window_icon(const fs::path& path, const std::vector<std::uint8_t>& rgba) {
    std::ofstream out(path);
    out << "// Generated by iconc from art/icon/icon.pix; do not edit.\n"
           "#include \"present/window_icon.h\"\n\n"
           "const std::uint32_t window_icon_pixels[window_icon_size * window_icon_size] = {\n";
    char word[16];
    for (std::size_t i = 0; i < rgba.size(); i += 4) {
        const std::uint32_t argb = std::uint32_t{rgba[i + 3]} << 24 | std::uint32_t{rgba[i]} << 16 |
                                   std::uint32_t{rgba[i + 1]} << 8 | rgba[i + 2];
        std::snprintf(word, sizeof word, "0x%08x,", static_cast<unsigned>(argb));
        out << word << ((i / 4 + 1) % 8 == 0 ? "\n" : " ");
    }
    out << "};\n";
    if (!out) throw std::runtime_error("iconc: cannot write " + path.string());
}

// Each source read, square and the only one of its size.
icon_sources read_sources(char** first, char** last) {
    icon_sources sources;
    for (char** file = first; file != last; ++file) {
        artc::picture source = artc::parse_pix(artc::read_text_file(*file), *file);
        artc::require_size(source, source.width, source.width, *file);
        const int side = source.width;
        if (!sources.emplace(side, std::move(source)).second) {
            throw std::runtime_error(std::string("iconc: ") + *file + ": a second source of " + std::to_string(side) +
                                     " px");
        }
    }
    return sources;
}

}  // namespace

int main(int argc, char** argv) {
    const bool windows_icon = argc > 6 && std::string_view(argv[5]) == "--ico";
    const int first_source = windows_icon ? 7 : 5;
    if (argc <= first_source) {
        std::cerr << "usage: iconc PALETTE ICON_DIR NAME WINDOW_ICON.cpp [--ico ICON.ico] SOURCE.pix...\n";
        return 2;
    }
    try {
        const artc::palette palette = artc::parse_palette(artc::read_text_file(argv[1]), argv[1]);
        const icon_sources sources = read_sources(argv + first_source, argv + argc);
        for (const int size : desktop_sizes) {
            const fs::path file = fs::path(argv[2]) / "hicolor" / (std::to_string(size) + "x" + std::to_string(size)) /
                                  "apps" / (std::string(argv[3]) + ".png");
            write_file(file, encode_png(rgba_at(sources, palette, size), size));
        }
        write_window_icon(argv[4], rgba_at(sources, palette, window_icon_size));
        if (windows_icon) write_windows_icon(argv[6], sources, palette);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
