#pragma once
// The controls of a watched replay and the note the window shows of them: a
// strip along the picture's foot with a thin bar of how far the replay is,
// the time played and the whole, and the speed or the pause. Drawn over the
// presented picture, never on the game's pages, screenshots or recordings.
#include <cstdint>
#include <optional>

inline constexpr int replay_overlay_width = 640;
inline constexpr int replay_overlay_height = 24;
// How long the strip stays after a control is used.
inline constexpr int replay_overlay_ms = 2500;

// Space pauses and goes on; Right and Left jump 10 s; Up and Down play
// faster and slower (1x, 2x, 4x, 8x); Page Down and Page Up go to the next
// and the previous game's start; Home starts again.
enum class replay_key { pause, forward, back, faster, slower, next_game, previous_game, restart };

struct replay_position {
    std::uint64_t at_ms;
    std::uint64_t length_ms;
    int speed;  // 1, 2, 4 or 8
    bool paused;
};

// "12:05 / 54:27", minutes and seconds of game time.
void draw_replay_overlay(const replay_position& position, std::uint32_t* pixels);
