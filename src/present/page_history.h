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
// written opaquely, a drawing on it: once every 8x8 cell of the page has
// been, the page is covered since the first of them.
void note_work_page_area_covered(int x1, int y1, int x2, int y2);
// Anything else drawn on the work page.
void note_work_page_drawn_on();
// The destination page now holds the source page's pixels.
void note_page_copied(int source, int destination);
// The page's pixels read: shown, or one at x, y of the work page. A pixel
// written since the uses were last taken (below) is read as that writing.
void note_page_shown(int page);
void note_work_page_pixel_read(int x, int y);
// The work page's pixels x1..x2, y1..y2 written opaquely, as a picture is loaded.
void note_work_page_area_written(int x1, int y1, int x2, int y2);
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
    // Its pixels are not what the marks say, since a jump left it undrawn,
    // until it is covered whole.
    bool pixels_unknown = false;
    bool operator==(const page_mark&) const = default;
};
using page_marks = std::array<page_mark, screen_pages>;
page_marks current_page_marks();

// What each page's pixels are used for first, from some moment on: read, or
// replaced whole before anything reads them. Told only while tracked (by
// the survey of a replay, which finds the pages a jump need not draw).
enum class page_use : std::uint8_t { none, read, replaced };
using page_uses = std::array<page_use, screen_pages>;
void track_page_uses(bool on);
// The first use of each page since the last take; none where there was none.
page_uses take_page_uses();

// A bit for each page, page 0 lowest.
using page_set = unsigned;
struct redrawing {
    std::uint64_t from_ms;  // the game draws from then on
    page_set forgotten;     // pages left undrawn: forget_pages once there
};
// How a run of the game must draw to have the pages as marked in wanted,
// when it starts with the pages' pixels as marked in held. The pages held
// as wanted that nothing changes from then on are kept. The unneeded ones
// are replaced before anything reads them, so they need not be drawn (and
// are forgotten where not kept). Every other is drawn again (one of one
// plain colour is filled with it).
redrawing draw_again_from(const page_marks& wanted, const page_marks& held, page_set unneeded);
// Marks the pages' pixels unknown until each is covered whole.
void forget_pages(page_set pages);
