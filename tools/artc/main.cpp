// artc: compiles the text art under art/ into the game's 8-bit BMP files.
// Usage: artc ART_DIR GRAPHICS_DIR

#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "art_error.h"
#include "assets/picture_files.h"
#include "bmp_writer.h"
#include "file_io.h"
#include "font_sheet.h"
#include "palette.h"
#include "pix_parser.h"
#include "sprite_sheet.h"

namespace fs = std::filesystem;

namespace {

constexpr int background_width = 88;
constexpr int background_height = 72;
constexpr int story_width = 80;
constexpr int story_height = 60;

artc::picture load_pix(const fs::path& path, int width, int height) {
    const artc::picture picture = artc::parse_pix(artc::read_text_file(path), path.string());
    artc::require_size(picture, width, height, path.string());
    return picture;
}

std::vector<std::string> sprite_files(const fs::path& folder) {
    std::vector<std::string> names;
    if (fs::is_directory(folder)) {
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().extension() == ".pix") {
                names.push_back(entry.path().string());
            }
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

artc::picture build_sprite_sheet(const fs::path& folder) {
    const std::map<int, std::string> files = artc::index_sprite_files(sprite_files(folder));
    artc::sprite_sheet sheet;
    std::string missing;
    for (int index = 0; index < sprite_count; ++index) {
        const auto found = files.find(index);
        if (found == files.end()) {
            missing += ' ';
            missing += std::to_string(index);
            continue;
        }
        const std::string& path = found->second;
        sheet.place(index, artc::parse_pix(artc::read_text_file(path), path), path);
    }
    if (!missing.empty()) {
        std::cerr << "artc: warning: no file yet for sprite(s)" << missing << "; their cells stay transparent\n";
    }
    return sheet.sheet();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: artc ART_DIR GRAPHICS_DIR\n";
        return 2;
    }
    const fs::path art = argv[1];
    const fs::path out = argv[2];

    artc::palette palette;
    try {
        const fs::path path = art / "palette.txt";
        palette = artc::parse_palette(artc::read_text_file(path), path.string());
        fs::create_directories(out);
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }

    struct output {
        std::string name;
        std::function<artc::picture()> build;
    };
    // A picture's source is named as its file: art/backgrounds/BG0.pix makes BG0.BMP.
    const auto source = [&](const char* folder, const char* file) {
        return art / folder / fs::path(file).replace_extension(".pix");
    };
    std::vector<output> outputs;
    for (const char* file : background_files)
        outputs.push_back(
            {file, [=] { return load_pix(source("backgrounds", file), background_width, background_height); }});
    for (const char* file : story_picture_files)
        outputs.push_back({file, [=] { return load_pix(source("pictures", file), story_width, story_height); }});
    outputs.push_back({font_file, [&] {
                           const fs::path path = art / "font" / "font.txt";
                           return artc::parse_font(artc::read_text_file(path), path.string());
                       }});
    outputs.push_back({sprite_sheet_file, [&] { return build_sprite_sheet(art / "sprites"); }});

    // Every output that compiles is written, so one broken source does not hide the others.
    bool failed = false;
    for (const output& output : outputs) {
        try {
            artc::write_binary_file(out / output.name, artc::encode_bmp(output.build(), palette));
        } catch (const std::exception& error) {
            std::cerr << error.what() << '\n';
            failed = true;
        }
    }
    return failed ? 1 : 0;
}
