#pragma once
// Game flow and play field: the program's start-up and outer loop, the frame
// loop with the aiming cursor and the player's shot, and the scrolling field.
// Its state is declared by subject: view.h (pages, scroll, scheme),
// play_state.h (cursor, shot, bands, defeat), program_state.h (best score and
// the title's choices), direction_tables.h.
#include <cstdint>

// Runs the whole program: start-up, title screen, games, until the player
// quits. Returns the process's exit code.
int run_program(int argc, char** argv, bool full_screen);

// Saves the last game's score if it beats the best, as the end of a game
// does; for a program stopped from outside (a signal) in the middle of one,
// so that it keeps what a quit from the pause dialog would.
void save_a_beaten_best();

// Puts every value the game keeps between frames and games back where the
// program starts it (the random sequence and the input included), so that
// run_program can play the same recording again in the same process; the
// calm mode, the sound and the screen are the program's and stay.
void reset_program_state();

// Called at the end of every frame of play, after its sleep; for replays and tests.
void set_frame_end_hook(void (*hook)());
// Games started so far, and frames of play in the current or last game.
std::int32_t games_started();
std::int32_t frames_in_game();
