#pragma once

#include <map>
#include <string>
#include <vector>

#include "assets/sprites.h"
#include "picture.h"

namespace artc {

// Maps sprite files named like "08-squid-a0.pix", with or without their folder, to their index.
// Throws on a name without a leading index, an index past the last sprite, a name other than the
// sprite's own (src/assets/sprites.h), or two files for one index.
std::map<int, std::string> index_sprite_files(const std::vector<std::string>& paths);

// The sprite sheet, filled one sprite at a time. Refuses a sprite of the wrong size and a
// sprite whose pixels would overwrite different pixels of an earlier one.
class sprite_sheet {
public:
    sprite_sheet();

    void place(int index, const picture& sprite, const std::string& file);

    const artc::picture& sheet() const { return sheet_; }

private:
    artc::picture sheet_;
    std::vector<int> owner_;  // sprite that drew each sheet pixel, or -1
};

}  // namespace artc
