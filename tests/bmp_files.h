#pragma once
// Images to load pictures into, and a scratch folder of BMP files, for the
// tests of the BMP loader.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "present/image.h"
#include "test_screen.h"

struct image_deleter {
    void operator()(image* img) const { destroy_image(img); }
};
using image_ptr = std::unique_ptr<image, image_deleter>;

inline image_ptr make_image(int w, int h) { return image_ptr(create_image(w, h)); }
inline std::uint8_t at(const image& img, int x, int y) { return img.pixels[y * img.pitch + x]; }

class bmp_files : public ::testing::Test {
protected:
    test_screen screen;
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("korvane_bmp_" + std::to_string(getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
    // Writes the bytes into the folder; the file's path.
    std::string write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const auto path = (dir / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path;
    }
};
