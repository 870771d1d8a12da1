// Input scripts of the headless platform as any bytes at all: a script is
// accepted or refused with a message, and an accepted one holds only events
// the platform can replay as they are.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "present/input_script.h"
#include "present/screen.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    script_contents script;
    std::string error;
    if (!parse_script(in, script, error)) {
        fuzz_require(!error.empty(), "a refused script says why");
        return 0;
    }
    // Any best the score file can hold, negative ones too, reads back from the line a recording writes for it.
    if (script.best_at_start) {
        std::istringstream line("0 " + format_best(*script.best_at_start) + "\n");
        script_contents again;
        fuzz_require(parse_script(line, again, error) && again.best_at_start == script.best_at_start,
                     "a best reads back from its own line");
    }
    std::uint64_t last_ms = 0;
    for (const script_event& event : script.events) {
        fuzz_require(event.ms >= last_ms, "event times never decrease");
        last_ms = event.ms;
        switch (event.action) {
            case script_action::move:
                fuzz_require(event.x >= 0 && event.x < screen_width && event.y >= 0 && event.y < screen_height,
                             "a move stays on the screen");
                break;
            case script_action::press:
            case script_action::release:
                fuzz_require(event.button_bit <= 2, "a button is left, right or middle");
                break;
            case script_action::key_down:
            case script_action::key_up:
                fuzz_require(event.scan_code > 0 && event.scan_code < 128, "a key has a scan code");
                break;
            default: break;
        }
    }
    return 0;
}
