// The best-score file as any bytes at all: parsing never fails, and every
// value the game can hold survives being written and read back.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "fuzz_check.h"
#include "screens/hiscore_format.h"

namespace {

void require_round_trip(std::int32_t value) {
    fuzz_require(parse_hi_score(format_hi_score(value)) == value, "a written score reads back unchanged");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A view of the input's own bytes, without a terminating zero to hide a read past the end.
    const std::int32_t parsed = parse_hi_score(std::string_view(reinterpret_cast<const char*>(data), size));
    require_round_trip(parsed);
    if (size >= sizeof(std::int32_t)) {
        std::int32_t raw;
        std::memcpy(&raw, data, sizeof raw);
        require_round_trip(raw);
    }
    return 0;
}
