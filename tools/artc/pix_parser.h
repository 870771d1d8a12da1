#pragma once

#include <string>
#include <string_view>

#include "picture.h"

namespace artc {

// Parses a .pix source: "size W H", optional "key c N" lines, then "pixels" and H rows of W characters.
picture parse_pix(std::string_view text, const std::string& file);

// Throws unless the picture has exactly the given size.
void require_size(const picture& picture, int width, int height, const std::string& file);

}  // namespace artc
