#pragma once
// What drawing again must redo to have each page of the screen as it is: for
// a replay that skips ahead without drawing and draws only its last stretch.
// Every drawing onto the work page tells it, drawn or not.
#include <array>
#include <cstdint>

#include "present/screen.h"

// Kept unless a program never jumps (korvane-headless): it costs a run
// without drawing a third of its time.
void keep_page_history(bool on);
bool page_history_kept();
// The pages as the screen opens them: one colour, since the game time given.
void start_page_history(std::uint64_t now_ms);
// The work page covered whole at once, with one colour (0..255) or -1 for a picture.
void note_work_page_covered(int colour);
// The work page's screen pixels x1..x2, y1..y2 (in order and on the page)
// written opaquely: once every 8x8 cell of the page has been, the page is
// covered since the first of them.
void note_work_page_area_covered(int x1, int y1, int x2, int y2);
// Anything else drawn on the work page.
void note_work_page_drawn_on();
// The destination page now holds the source page's pixels.
void note_page_copied(int source, int destination);
// The page's one colour while it has held nothing else, or -1.
int plain_colour_of(int page);
// A page's history as a replay's jump needs it. Versions count the covers
// and copies of every page from the screen's opening; with the time of the
// last change, two runs of the same recording, drawn or not, mark a page the
// same where it holds the same pixels.
struct page_mark {
    std::uint64_t version = 0;
    std::uint64_t changed_ms = 0;  // when it last changed
    std::uint64_t covered_ms = 0;  // when it was last covered whole
    int plain_colour = 0;          // its one colour since then, or -1
    bool operator==(const page_mark&) const = default;
};
using page_marks = std::array<page_mark, screen_pages>;
page_marks current_page_marks();
// From when a run of the game must draw to have the pages as marked in
// wanted, when it starts with the pages' pixels as marked in held: the
// pages held as wanted that nothing changes from then on are kept, every
// other is drawn again (one of one plain colour is filled with it).
std::uint64_t draw_again_from(const page_marks& wanted, const page_marks& held);
