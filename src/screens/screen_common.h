#pragma once
// What the screens outside play share: the story pictures, the wait for
// released controls, skipping, the bars of text cells, and the loop of a
// sequence the player may skip.
#include "present/input.h"

// Page 2 holds the picture of the screen being shown.
constexpr int picture_page = 2;

enum story_picture : int { picture_title, picture_opening, picture_crash, picture_game_over };
// Loads a story picture and puts it, enlarged, on the picture page.
void show_picture(story_picture picture);

// Empties the key queue.
void empty_key_queue();
// True when this frame's input asks to skip a sequence: Escape or the close
// button among the key presses, or the middle mouse button.
bool skip_requested();
// A solid row of the 80x60 text grid in the current text colour.
void draw_bar(int row);

// A sequence of up to `frames` frames of 40 ms, t = 1, 2, ...: each frame
// first asks whether the player skips, then draws frame t. Ends early at the
// frame that was skipped (which is still drawn).
template <typename DrawFrame>
void play_sequence(int frames, DrawFrame draw_frame) {
    bool skip = false;
    for (int t = 1; t <= frames && !skip; ++t) {
        skip = skip_requested();
        draw_frame(t);
        sleep_plain(40);
    }
}

// The sequences that follow others.
void instructions_screen();
void ending_screen();
