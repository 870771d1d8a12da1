#include "sprite_sheet.h"

#include <cctype>
#include <filesystem>

#include "art_error.h"
#include "pix_parser.h"

namespace artc {

namespace {

constexpr int no_owner = -1;

std::string coordinates(int x, int y) {
    std::string text = "(";
    text += std::to_string(x);
    text += ',';
    text += std::to_string(y);
    text += ')';
    return text;
}

}  // namespace

std::map<int, std::string> index_sprite_files(const std::vector<std::string>& paths) {
    std::map<int, std::string> by_index;
    for (const std::string& path : paths) {
        const std::string name = std::filesystem::path(path).filename().string();
        std::size_t digits = 0;
        while (digits < name.size() && std::isdigit(static_cast<unsigned char>(name[digits]))) {
            ++digits;
        }
        const bool separated = digits < name.size() && (name[digits] == '-' || name[digits] == '.');
        if (digits == 0 || !separated) {
            fail_in(path, "a sprite file name must start with its index, like '08-squid-a0.pix'");
        }
        const std::string number = name.substr(0, digits);
        // Long runs of zeros are fine; only the value matters.
        const std::size_t first_nonzero = number.find_first_not_of('0');
        const std::string significant = first_nonzero == std::string::npos ? "0" : number.substr(first_nonzero);
        if (significant.size() > 3 || std::stoi(significant) >= sprite_count) {
            fail_in(path,
                    "sprite index " + significant + " is past the last sprite " + std::to_string(sprite_count - 1));
        }
        const int index = std::stoi(significant);
        const std::string own_name = number + "-" + std::string(sprite_names[index]) + ".pix";
        if (name != own_name) {
            fail_in(path, "sprite " + std::to_string(index) + " is named '" + std::string(sprite_names[index]) +
                              "': " + own_name);
        }
        const auto [existing, inserted] = by_index.emplace(index, path);
        if (!inserted) {
            fail_in(path, "sprite " + std::to_string(index) + " is already drawn in " + existing->second);
        }
    }
    return by_index;
}

sprite_sheet::sprite_sheet()
    : sheet_(sprite_sheet_width, sprite_sheet_height),
      owner_(static_cast<std::size_t>(sprite_sheet_width) * sprite_sheet_height, no_owner) {}

void sprite_sheet::place(int index, const picture& sprite, const std::string& file) {
    if (index < 0 || index >= sprite_count) {
        fail_in(file, "sprite index " + std::to_string(index) + " is not in 0.." + std::to_string(sprite_count - 1));
    }
    const sprite_cell cell = cell_of(index);
    require_size(sprite, cell.width, cell.height, file);
    for (int y = 0; y < cell.height; ++y) {
        for (int x = 0; x < cell.width; ++x) {
            const std::uint8_t colour = sprite.at(x, y);
            if (colour == 0) {
                continue;
            }
            const int sheet_x = cell.x + x;
            const int sheet_y = cell.y + y;
            std::uint8_t& target = sheet_.at(sheet_x, sheet_y);
            int& owner =
                owner_[static_cast<std::size_t>(sheet_y) * sprite_sheet_width + static_cast<std::size_t>(sheet_x)];
            if (target != 0 && target != colour) {
                fail_in(file, "sprite " + std::to_string(index) + " pixel " + coordinates(x, y) +
                                  " would overwrite a different pixel of sprite " + std::to_string(owner) +
                                  " at sheet position " + coordinates(sheet_x, sheet_y));
            }
            target = colour;
            owner = index;
        }
    }
}

}  // namespace artc
