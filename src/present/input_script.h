#pragma once
// Input scripts, what korvane-headless plays and the windowed programs record
// and replay: one event a line, "MS EVENT ARGS", MS in the game's virtual
// milliseconds, never decreasing; '#' starts a comment.
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

enum class script_action { move, leave, press, release, key_down, key_up, close, focus_out, focus_in, minimise };

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

// Hands a script's events to the game (input_events.h) as their time comes.
class script_player {
public:
    explicit script_player(std::vector<script_event> events) : events_(std::move(events)) {}
    // Every event not yet handed over whose time is now or earlier, in order.
    void hand_over_due(std::uint64_t now);
    bool finished() const { return next_ >= events_.size(); }
    std::uint64_t next_ms() const { return finished() ? 0 : events_[next_].ms; }
    std::uint64_t last_ms() const { return events_.empty() ? 0 : events_.back().ms; }
    // An event to hand over at the given time, after all others (for players that decide as they go).
    void add(script_event event) { events_.push_back(std::move(event)); }

private:
    std::vector<script_event> events_;
    std::size_t next_ = 0;
};

// A word from the input, quoted for a message: at most 80 characters of it.
std::string quoted(std::string_view word);
