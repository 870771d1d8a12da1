#pragma once
// The game's screen: three 640x480 pages of 8-bit palette indices, the work
// and visible page, one 256-entry palette and an 80x60 text grid.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "present/platform.h"

constexpr int screen_width = 640;
constexpr int screen_height = 480;
constexpr int screen_pages = 3;

bool open_screen(int width, int height, int depth, int pages, bool full_screen);
void set_text_grid(int columns, int rows);
void set_pages(int work, int visible);
void copy_page(int source, int destination);
void flip();
void lock_screen();
void unlock_screen(int first_row, int last_row);
void clear_screen();
void set_text_colour(int foreground);
void locate_text(int row, int column);
void print_text(std::string_view text);

// Drawing, on unless a run asks for the game without its pictures
// (korvane-headless --no-draw): while it is off, puts, boxes and text onto the
// screen, clearing it and page copies change no pixel, and nothing is
// presented; everything else (the text cursor, the pages chosen, the palette,
// every random draw of the callers) goes on as when drawing. Nothing of the
// game reads the screen's pixels back to decide anything, so play is the same.
void set_drawing(bool on);
bool drawing();
// Called when drawing comes back on over an open screen, before anything is
// drawn: what only drawing needs (the game's pictures) can wait until then.
void on_drawing_resumed(void (*hook)());

// The next open_screen keeps the pages' pixels, for a replay played again
// from its start that draws only the pages that differ (page_history.h).
void keep_pixels_at_next_open();
// For drawing above the screen's own operations: notes the drawing, and
// whether it is to be skipped because drawing is off.
bool skip_drawing_on_work_page();

// For the drawing operations and the platform side of the service.
bool screen_is_open();
std::uint8_t* work_page_pixels();
const std::uint8_t* page_pixels(int page);
int current_work_page();
int current_visible_page();
const rgb* screen_palette();
void set_palette_entry(int index, rgb colour);
// Called after anything was drawn on the work page.
void note_work_page_drawn();
// Bytes written by the drawing operations (puts, boxes, text cells, page
// copies) since start-up: what a frame costs at the least, for the benchmarks.
void count_bytes_drawn(std::size_t bytes);
std::uint64_t bytes_drawn();
// Presents the visible page if it changed and the screen is not locked;
// unless forced, at most once per refresh period.
void refresh_display(bool force);
