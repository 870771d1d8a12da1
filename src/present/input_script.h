#pragma once
// Input scripts, what korvane-headless plays and the windowed programs record
// and replay: one event a line, "MS EVENT ARGS", MS in the game's virtual
// milliseconds, never decreasing; '#' starts a comment.
//
// "keydown KEY" holds a key and queues its press; a recording writes what
// the player's keyboard did instead: "hold KEY" (held, no press) and, for
// every press queued, "type HEX" (its one or two bytes), so that a key typed
// on any keyboard layout replays as typed.
//
// A recording begins with the comment "# korvane VERSION recording ..." and
// holds one "0 best N" line: the best score when it began, which its replay
// starts from (and keeps to itself, leaving the player's best alone). A game
// played in calm mode adds "0 calm", and its replay is calm too.
#include <algorithm>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The latest moment a script's event or a run's end may name: a day of the
// game's time, which korvane-headless covers within a few minutes.
inline constexpr long long latest_script_ms = 86'400'000;

// A run or a replay goes on this long after a script's last event, so that
// what the game did with it is seen, and then ends.
inline constexpr std::uint64_t script_tail_ms = 60'000;

enum class script_action : std::uint8_t {
    move,
    leave,
    press,
    release,
    key_down,
    key_up,
    type,
    close,
    focus_out,
    focus_in,
    minimise
};

// The mouse buttons by bit (report_mouse_button), as scripts name them.
inline constexpr std::string_view script_button_names[3] = {"left", "right", "middle"};

// Small, as a recording of hours holds millions of them (24 bytes each,
// about the text of one line).
struct script_event {
    std::uint64_t ms = 0;
    script_action action{};
    std::uint8_t button_bit = 0;  // press, release
    std::uint8_t scan_code = 0;   // key_down, key_up
    std::int16_t x = 0, y = 0;    // move

    // What key_down or type queues for inkey: one or two bytes, or none.
    std::string_view key_press() const { return {typed_, typed_length_}; }
    void set_key_press(std::string_view bytes) {
        typed_length_ = static_cast<std::uint8_t>(std::min<std::size_t>(bytes.size(), sizeof typed_));
        std::copy_n(bytes.begin(), typed_length_, typed_);
    }

private:
    char typed_[2] = {};
    std::uint8_t typed_length_ = 0;
};

struct script_contents {
    std::vector<script_event> events;
    std::string recorded_by;                    // the version in a recording's first line, or empty
    std::optional<std::int32_t> best_at_start;  // from "0 best N"
    bool calm = false;                          // from "0 calm": played in calm mode
};

// An event as a script line says it, without its time ("press left",
// "hold y": a key down without its press; "keydown y" with it); empty for
// a key scripts have no name for.
std::string format_event(const script_event& event);
// The line of a recording that gives the best score it began with, without its time.
std::string format_best(std::int32_t best);
// The line of a recording made in calm mode, without its time.
std::string format_calm();

// Reads a whole script; on a malformed line returns false with a message
// naming the line.
bool parse_script(std::istream& in, script_contents& script, std::string& error);

// Hands a script's events to the game (input_events.h) as their time comes.
class script_player {
public:
    explicit script_player(std::vector<script_event> events)
        : events_(std::move(events)), last_ms_(events_.empty() ? 0 : events_.back().ms) {}
    // Every event not yet handed over whose time is now or earlier, in order.
    void hand_over_due(std::uint64_t now);
    bool finished() const { return next_ >= events_.size(); }
    // From the first event again (a replay played again from its start).
    void restart() { next_ = 0; }
    std::uint64_t next_ms() const { return finished() ? 0 : events_[next_].ms; }
    // The time of the last event given, handed over or not.
    std::uint64_t last_ms() const { return last_ms_; }
    // An event to hand over at the given time, after all others (for players
    // that decide as they go). What was handed over is dropped as events come,
    // in place, so that a player can play for ever in the same memory.
    void add(script_event event);

private:
    std::vector<script_event> events_;
    std::size_t next_ = 0;  // the first not yet handed over
    std::uint64_t last_ms_;
};
