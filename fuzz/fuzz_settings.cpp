// The settings file as any bytes at all: reading never fails, and whatever it
// makes of them is written out and read back unchanged.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "programs/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A view of the input's own bytes, without a terminating zero to hide a read past the end.
    const game_settings read =
        parse_settings(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz", "input");
    const std::string written = format_settings(read);
    fuzz_require(format_settings(parse_settings(written, "fuzz", "written")) == written,
                 "written settings read back unchanged");
    return 0;
}
