#pragma once
// Everything shown outside play, and the best score's file.
#include <cstdint>
#include <optional>

// Title screen: returns quit_requested and sets keyboard_control.
std::int32_t title_screen();
// Waits until Escape and the mouse buttons are released, then empties the key queue.
void wait_release();

// Before every game: the opening animation, then the instructions.
void opening_sequence();
// Answers a pause request: "Quit? (Y/N)" until the player chooses; sets the
// frame's outcome to outcome_play_on or outcome_quit (play_state.h).
void pause_screen(std::int32_t& outcome);
// After a defeat: the crash, the game-over picture with the score and the
// longest chain, then the ending screen.
void results_screen();

// The best score's file (hiscore.cpp): read once at start-up, written when a
// game beat it.
void read_hi_score(std::int32_t& value);
void write_hi_score(std::int32_t value);
// For replays: the best score is never written, so that watching a game
// cannot change the player's; it starts from start when given (a
// recording's), else from the file.
void keep_hi_score_apart(std::optional<std::int32_t> start);
