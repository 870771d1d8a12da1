#include "present/page_history.h"

#include <algorithm>

#include "present/platform.h"
#include "present/screen.h"

namespace {

constexpr int cell_columns = screen_width / 8;
constexpr int cell_rows = screen_height / 8;

struct page_history {
    page_mark mark;
    // The cells written opaquely since it was covered (a bit each, a row's
    // 80 in two words), the rows whose cells all were, and when the first was.
    std::uint64_t cells[cell_rows][2] = {};
    int rows_covered = 0;
    // The rows holding any of those cells, first to last: a page is covered
    // and copied every frame, and most frames write cells in a few rows.
    int first_row = cell_rows, last_row = -1;
    std::uint64_t first_cell_ms = 0;
    std::uint64_t first_cell_take = 0;  // the uses taken before it
    bool any_cells() const { return first_row <= last_row; }
    // The last area written opaquely, and the uses taken before it.
    int written_x1 = 0, written_y1 = 0, written_x2 = -1, written_y2 = -1;
    std::uint64_t written_take = 0;
};

page_history pages[screen_pages];
std::uint64_t changes = 0;
bool kept = true;

bool uses_tracked = false;
page_uses uses{};
std::uint64_t takes = 0;

void used(int page, page_use use) {
    if (uses_tracked && uses[page] == page_use::none) uses[page] = use;
}

std::uint64_t game_time() {
    platform* p = current_platform();
    return p != nullptr ? p->virtual_ms() : 0;
}

page_history& work() { return pages[current_work_page()]; }

void changed(page_history& page, std::uint64_t now) {
    page.mark.version = ++changes;
    page.mark.changed_ms = now;
}

void forget_cells(page_history& page) {
    for (int row = page.first_row; row <= page.last_row; ++row) page.cells[row][0] = page.cells[row][1] = 0;
    page.rows_covered = 0;
    page.first_row = cell_rows;
    page.last_row = -1;
}

void covered(page_history& page, std::uint64_t now, std::uint64_t since, int colour) {
    changed(page, now);
    page.mark.covered_ms = since;
    page.mark.plain_colour = colour;
    page.mark.pixels_unknown = false;
    forget_cells(page);
}

}  // namespace

void keep_page_history(bool on) { kept = on; }
bool page_history_kept() { return kept; }

void start_page_history(std::uint64_t now_ms) {
    changes = 0;
    const std::uint64_t now = game_time();
    for (page_history& page : pages) covered(page, now, now_ms, 0);
}

void note_work_page_covered(int colour) {
    if (!kept) return;
    const std::uint64_t now = game_time();
    covered(work(), now, now, colour < 0 ? -1 : colour & 0xff);
    used(current_work_page(), page_use::replaced);
}

void note_work_page_area_covered(int x1, int y1, int x2, int y2) {
    if (!kept) return;
    page_history& page = work();
    const std::uint64_t now = game_time();
    page.mark.changed_ms = now;
    page.mark.plain_colour = -1;
    // Only the cells lying wholly inside count. The area is on the page, so
    // shifts divide.
    const int first_column = (x1 + 7) >> 3, last_column = ((x2 + 1) >> 3) - 1;
    const int first_row = (y1 + 7) >> 3, last_row = ((y2 + 1) >> 3) - 1;
    if (first_column > last_column || first_row > last_row) return;
    changed(page, now);
    // Covered whole already now: these cells cannot make it later.
    if (page.mark.covered_ms == now) return;
    if (!page.any_cells()) {
        page.first_cell_ms = now;
        page.first_cell_take = takes;
    }
    page.first_row = std::min(page.first_row, first_row);
    page.last_row = std::max(page.last_row, last_row);
    const auto bits = [](int from, int to) {  // bits from..to of one word, as far as they reach it
        if (to < 0 || from > 63) return std::uint64_t{0};
        from = std::max(from, 0);
        to = std::min(to, 63);
        return (~std::uint64_t{0} >> (63 - to)) & (~std::uint64_t{0} << from);
    };
    const std::uint64_t low = bits(first_column, last_column), high = bits(first_column - 64, last_column - 64);
    constexpr std::uint64_t full_high = (std::uint64_t{1} << (cell_columns - 64)) - 1;
    for (int row = first_row; row <= last_row; ++row) {
        std::uint64_t* cells = page.cells[row];
        const bool was_full = cells[0] == ~std::uint64_t{0} && cells[1] == full_high;
        cells[0] |= low;
        cells[1] |= high;
        if (!was_full && cells[0] == ~std::uint64_t{0} && cells[1] == full_high) ++page.rows_covered;
    }
    if (page.rows_covered != cell_rows) return;
    covered(page, now, page.first_cell_ms, -1);
    // Some cells may hold what was there before the uses were last taken.
    if (page.first_cell_take == takes) used(current_work_page(), page_use::replaced);
}

void note_work_page_drawn_on() {
    if (!kept) return;
    // Text laid out without drawing tells this once, drawn glyph by glyph:
    // the time of the change tells it apart, not a count.
    page_history& page = work();
    page.mark.changed_ms = game_time();
    page.mark.plain_colour = -1;
}

void note_page_copied(int source, int destination) {
    if (!kept || source == destination) return;
    const page_history& from = pages[source];
    page_history& to = pages[destination];
    forget_cells(to);
    for (int row = from.first_row; row <= from.last_row; ++row) {
        to.cells[row][0] = from.cells[row][0];
        to.cells[row][1] = from.cells[row][1];
    }
    to.mark = from.mark;
    to.rows_covered = from.rows_covered;
    to.first_row = from.first_row;
    to.last_row = from.last_row;
    to.first_cell_ms = from.first_cell_ms;
    to.first_cell_take = from.first_cell_take;
    changed(to, game_time());
    used(source, page_use::read);
    used(destination, page_use::replaced);
}

void note_page_shown(int page) { used(page, page_use::read); }

void note_work_page_pixel_read(int x, int y) {
    if (!uses_tracked) return;
    const page_history& page = work();
    if (page.written_take == takes && x >= page.written_x1 && x <= page.written_x2 && y >= page.written_y1 &&
        y <= page.written_y2)
        return;
    used(current_work_page(), page_use::read);
}

void note_work_page_area_written(int x1, int y1, int x2, int y2) {
    if (!uses_tracked) return;
    page_history& page = work();
    page.written_x1 = x1;
    page.written_y1 = y1;
    page.written_x2 = x2;
    page.written_y2 = y2;
    page.written_take = takes;
}

void track_page_uses(bool on) {
    uses_tracked = on;
    uses = {};
}

page_uses take_page_uses() {
    const page_uses taken = uses;
    uses = {};
    ++takes;
    return taken;
}

void forget_pages(page_set forgotten) {
    for (int page = 0; page < screen_pages; ++page)
        if (forgotten & (1u << page)) pages[page].mark.pixels_unknown = true;
}

int plain_colour_of(int page) { return pages[page].mark.plain_colour; }

page_marks current_page_marks() {
    page_marks marks;
    for (int page = 0; page < screen_pages; ++page) marks[page] = pages[page].mark;
    return marks;
}

redrawing draw_again_from(const page_marks& wanted, const page_marks& held, page_set unneeded) {
    bool kept[screen_pages];
    for (int page = 0; page < screen_pages; ++page)
        kept[page] = !held[page].pixels_unknown && wanted[page].version == held[page].version &&
                     wanted[page].changed_ms == held[page].changed_ms;
    const auto needed = [unneeded](int page) { return (unneeded & (1u << page)) == 0; };
    // A kept page must stay as it is while the others are drawn: one changed
    // since the drawing starts is drawn again too, which may start it earlier.
    for (;;) {
        std::uint64_t from = UINT64_MAX;
        for (int page = 0; page < screen_pages; ++page)
            if (!kept[page] && needed(page) && wanted[page].plain_colour < 0)
                from = std::min(from, wanted[page].covered_ms);
        bool settled = true;
        for (int page = 0; page < screen_pages; ++page)
            if (kept[page] && from != UINT64_MAX && wanted[page].changed_ms >= from) {
                kept[page] = false;
                settled = false;
            }
        if (!settled) continue;
        page_set forgotten = 0;
        for (int page = 0; page < screen_pages; ++page)
            if (!kept[page] && !needed(page)) forgotten |= 1u << page;
        return {from, forgotten};
    }
}
