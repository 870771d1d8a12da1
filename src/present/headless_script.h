#pragma once
// The input script of the headless platform: one event a line,
// "MS EVENT ARGS", MS in virtual milliseconds, never decreasing; '#' starts a comment.
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

enum class script_action { move, leave, press, release, key_down, key_up, close, focus_out, focus_in };

struct script_event {
    std::uint64_t ms;
    script_action action;
    int x = 0, y = 0;       // move
    int button_bit = 0;     // press, release
    int scan_code = 0;      // key_down, key_up
    std::string key_press;  // what key_down queues for inkey (may be empty)
};

// Reads a whole script; on a malformed line returns false with a message
// naming the line.
bool parse_script(std::istream& in, std::vector<script_event>& events, std::string& error);

// A word from the input, quoted for a message: at most 80 characters of it.
std::string quoted(std::string_view word);
