#pragma once

#include <map>
#include <string>
#include <vector>

#include "picture.h"

namespace artc {

inline constexpr int sprite_count = 93;
inline constexpr int sprite_sheet_width = 128;
inline constexpr int sprite_sheet_height = 193;

// Where sprite 'index' sits in the sheet the game cuts its sprites from.
struct SpriteCell {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

SpriteCell sprite_cell(int index);

// Maps sprite files named like "08-squid-a0.pix", with or without their folder, to their index.
// Throws on a name without a leading index, an index past the last sprite, or two files for one index.
std::map<int, std::string> index_sprite_files(const std::vector<std::string>& paths);

// The sprite sheet, filled one sprite at a time. Refuses a sprite of the wrong size and a
// sprite whose pixels would overwrite different pixels of an earlier one.
class SpriteSheet {
public:
    SpriteSheet();

    void place(int index, const Picture& sprite, const std::string& file);

    const Picture& picture() const { return sheet_; }

private:
    Picture sheet_;
    std::vector<int> owner_;  // sprite that drew each sheet pixel, or -1
};

}  // namespace artc
