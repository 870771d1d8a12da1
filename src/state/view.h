#pragma once
// What the screen shows of the game's field: the pages drawn on and shown,
// the field's scroll, the colour scheme, and the ground bands' rows. Written
// by the frame loop and the play field; read by everything that draws.
#include <cstdint>

// Page numbers handed to set_pages each frame, the one drawn on and the one
// shown; 1 and 0 at start, swapped after every frame of play and of the
// title screen (frame_loop.cpp, title.cpp).
extern std::int32_t work_page;
extern std::int32_t visible_page;
// The field's scroll in screen pixels, multiples of 8 in 0..56, from the
// cursor (frame_loop.cpp): a field position minus the scroll is on screen.
extern std::int32_t scroll_x, scroll_y;
// 0..2: the background picture, ground and band colours, squid sets and
// gauge colour of this frame (play_field.cpp): the stage's, or a new one every
// frame of the collapse unless in calm mode (program_state.h); kept between games.
extern std::int32_t background_index;
// 0..7: the line of band_rows the bands stand on (play_field.cpp); kept
// between games.
extern std::int32_t band_phase;
// Text-row offsets of the seven ground bands below the horizon, per phase;
// the instructions screen draws its bars with them too.
extern const std::int32_t band_rows[8][7];
