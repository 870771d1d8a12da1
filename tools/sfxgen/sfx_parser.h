#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "sound_params.h"

namespace sfxgen {

// A fault in a sound source, with the 1-based line it was found on
// (0 for faults of the file as a whole).
class sfx_parse_error : public std::runtime_error {
public:
    sfx_parse_error(int line, const std::string& message);
    int line() const { return line_; }

private:
    int line_;
};

// Reads a sound source: `key = value` lines, `#` comments, and a
// `[layer NAME]` header before each voice. Throws SfxParseError.
sound_params parse_sfx(std::string_view text);

}  // namespace sfxgen
