// iconc run on the game's own icon sources, its files read back as the desktop
// and Windows read them: each size is the drawing made for it, pixel for pixel,
// or the 32 px drawing enlarged with hard edges; a size below 32 is never shrunk.
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "file_io.h"
#include "palette.h"
#include "pix_parser.h"

namespace fs = std::filesystem;

namespace {

const fs::path icon_folder = fs::path(KORVANE_SOURCE_DIR) / "art" / "icon";

// A square picture as RGBA bytes, row by row from the top; a clear pixel reads
// as clear black, since its colour shows nowhere.
struct rgba_image {
    int size = 0;
    std::vector<std::uint8_t> bytes;
};

// Where the two differ first, for a person to look at; "" when they are the same.
std::string first_difference(const rgba_image& made, const rgba_image& wanted) {
    if (made.size != wanted.size) return "is " + std::to_string(made.size) + " px, not " + std::to_string(wanted.size);
    for (std::size_t i = 0; i < made.bytes.size(); i += 4) {
        if (!std::equal(&made.bytes[i], &made.bytes[i] + 4, &wanted.bytes[i])) {
            const auto pixel = static_cast<int>(i / 4);
            return "differs at " + std::to_string(pixel % made.size) + "," + std::to_string(pixel / made.size);
        }
    }
    return "";
}

void clear_colour_of_clear_pixels(rgba_image& image) {
    for (std::size_t i = 0; i < image.bytes.size(); i += 4) {
        if (image.bytes[i + 3] == 0) image.bytes[i] = image.bytes[i + 1] = image.bytes[i + 2] = 0;
    }
}

// The drawing as the palette colours it: index 0 clear, every other opaque.
rgba_image drawn(const fs::path& source, int scale = 1) {
    const fs::path palette_file = fs::path(KORVANE_SOURCE_DIR) / "art" / "palette.txt";
    const artc::palette palette = artc::parse_palette(artc::read_text_file(palette_file), palette_file.string());
    const artc::picture picture = artc::parse_pix(artc::read_text_file(source), source.string());
    rgba_image image{picture.width * scale, {}};
    for (int y = 0; y < image.size; ++y) {
        for (int x = 0; x < image.size; ++x) {
            const std::uint8_t index = picture.at(x / scale, y / scale);
            const artc::rgb c = palette[index];
            if (index == 0) {
                image.bytes.insert(image.bytes.end(), {0, 0, 0, 0});
            } else {
                image.bytes.insert(image.bytes.end(), {c.r, c.g, c.b, 255});
            }
        }
    }
    return image;
}

std::vector<std::uint8_t> file_bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t read32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
           static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

std::uint16_t read16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

rgba_image decoded_png(const std::uint8_t* data, std::size_t length) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, length)) return {};
    png.format = PNG_FORMAT_RGBA;
    rgba_image image{static_cast<int>(png.width), std::vector<std::uint8_t>(PNG_IMAGE_SIZE(png))};
    if (!png_image_finish_read(&png, nullptr, image.bytes.data(), 0, nullptr)) return {};
    if (png.width != png.height) return {};
    clear_colour_of_clear_pixels(image);
    return image;
}

rgba_image png_file(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = file_bytes(path);
    return decoded_png(bytes.data(), bytes.size());
}

// A 32-bit icon DIB: the header's height counts the colour rows and the mask
// rows, both stored from the bottom up; Windows that ignore alpha draw by the
// mask, so it must be set exactly where the picture is clear.
rgba_image decoded_dib(const std::vector<std::uint8_t>& bytes, std::size_t at, int size) {
    const auto side = static_cast<std::size_t>(size);
    EXPECT_EQ(read32(bytes, at), 40u);
    EXPECT_EQ(read32(bytes, at + 4), side);
    EXPECT_EQ(read32(bytes, at + 8), side * 2);
    EXPECT_EQ(read16(bytes, at + 14), 32u);
    const std::size_t colours = at + 40;
    const std::size_t mask = colours + side * side * 4;
    const std::size_t mask_stride = (side + 31) / 32 * 4;
    rgba_image image{size, std::vector<std::uint8_t>(side * side * 4)};
    for (std::size_t y = 0; y < side; ++y) {
        const std::size_t stored_row = side - 1 - y;
        for (std::size_t x = 0; x < side; ++x) {
            const std::size_t from = colours + (stored_row * side + x) * 4;
            std::uint8_t* to = &image.bytes[(y * side + x) * 4];
            to[0] = bytes.at(from + 2);
            to[1] = bytes.at(from + 1);
            to[2] = bytes.at(from);
            to[3] = bytes.at(from + 3);
            const bool masked = (bytes.at(mask + stored_row * mask_stride + x / 8) & (0x80 >> (x % 8))) != 0;
            EXPECT_EQ(masked, to[3] == 0) << size << " px, mask at " << x << "," << y;
        }
    }
    clear_colour_of_clear_pixels(image);
    return image;
}

// Every image of the .ico, in the order of its directory.
std::vector<rgba_image> ico_images(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = file_bytes(path);
    if (bytes.size() < 6 || read16(bytes, 0) != 0 || read16(bytes, 2) != 1) return {};
    std::vector<rgba_image> images;
    for (std::size_t entry = 6; entry < 6 + std::size_t{read16(bytes, 4)} * 16; entry += 16) {
        const int size = bytes.at(entry) == 0 ? 256 : bytes.at(entry);
        const std::uint32_t length = read32(bytes, entry + 8);
        const std::uint32_t offset = read32(bytes, entry + 12);
        if (offset + std::size_t{length} > bytes.size()) return {};
        const bool png = bytes.at(offset) == 0x89 && bytes.at(offset + 1) == 'P';
        images.push_back(png ? decoded_png(&bytes[offset], length) : decoded_dib(bytes, offset, size));
        EXPECT_EQ(images.back().size, size) << "the directory's size of image " << images.size();
    }
    return images;
}

// Runs iconc on the given sources into a fresh folder; returns its exit status.
class Iconc : public ::testing::Test {
protected:
    const fs::path out = fs::temp_directory_path() / ("korvane_iconc_" + std::to_string(getpid()));

    void SetUp() override { fs::remove_all(out); }
    void TearDown() override { fs::remove_all(out); }

    int run(const std::vector<std::string>& sources) {
        std::string command = std::string("'") + ICONC_PROGRAM + "' '" KORVANE_SOURCE_DIR "/art/palette.txt' '" +
                              out.string() + "' korvane '" + (out / "window_icon.cpp").string() + "' --ico '" +
                              (out / "korvane.ico").string() + "'";
        for (const std::string& source : sources) command += " '" + (icon_folder / source).string() + "'";
        command += " 2>'" + (out / "errors.txt").string() + "'";
        fs::create_directories(out);
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    rgba_image desktop_icon(int size) const {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        return png_file(out / "hicolor" / folder / "apps" / "korvane.png");
    }
};

TEST_F(Iconc, EverySizeIsItsOwnDrawingOrThe32pxOneEnlarged) {
    ASSERT_EQ(run({"icon.pix", "icon-16.pix", "icon-24.pix"}), 0) << artc::read_text_file(out / "errors.txt");
    const rgba_image drawn_16 = drawn(icon_folder / "icon-16.pix");
    const rgba_image drawn_24 = drawn(icon_folder / "icon-24.pix");
    const rgba_image drawn_32 = drawn(icon_folder / "icon.pix");
    ASSERT_EQ(drawn_16.size, 16);
    ASSERT_EQ(drawn_24.size, 24);

    // The desktop's sizes, as its themes look them up.
    EXPECT_EQ(first_difference(desktop_icon(16), drawn_16), "");
    EXPECT_EQ(first_difference(desktop_icon(24), drawn_24), "");
    EXPECT_EQ(first_difference(desktop_icon(32), drawn_32), "");
    for (const int scale : {2, 4, 8}) {
        EXPECT_EQ(first_difference(desktop_icon(32 * scale), drawn(icon_folder / "icon.pix", scale)), "")
            << 32 * scale << " px";
    }

    // Windows picks the image nearest the size it shows, so each must be there and be right.
    const std::vector<rgba_image> in_ico = ico_images(out / "korvane.ico");
    std::vector<int> sizes;
    for (const rgba_image& image : in_ico) sizes.push_back(image.size);
    ASSERT_EQ(sizes, (std::vector<int>{16, 24, 32, 48, 64, 128, 256}));
    EXPECT_EQ(first_difference(in_ico[0], drawn_16), "");
    EXPECT_EQ(first_difference(in_ico[1], drawn_24), "");
    EXPECT_EQ(first_difference(in_ico[2], drawn_32), "");
    EXPECT_EQ(first_difference(in_ico[4], drawn(icon_folder / "icon.pix", 2)), "");
    EXPECT_EQ(first_difference(in_ico[5], drawn(icon_folder / "icon.pix", 4)), "");
    EXPECT_EQ(first_difference(in_ico[6], drawn(icon_folder / "icon.pix", 8)), "");
}

TEST_F(Iconc, RefusesToShrinkToASizeNotDrawnForIt) {
    EXPECT_EQ(run({"icon.pix", "icon-16.pix"}), 1);
    EXPECT_EQ(artc::read_text_file(out / "errors.txt"), "iconc: no source is drawn for 24 px\n");
    EXPECT_FALSE(fs::exists(out / "korvane.ico"));
}

}  // namespace
