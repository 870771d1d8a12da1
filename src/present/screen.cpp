#include "present/screen.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "present/cp437_font.h"
#include "present/default_palette.h"
#include "present/page_history.h"

namespace {

constexpr int page_size = screen_width * screen_height;
constexpr int refresh_period_ms = 16;

struct text_grid {
    int columns = 80;
    int rows = 60;
    int cell_height = 8;
    int row = 1;
    int column = 1;
    std::uint8_t foreground = 15;
    std::uint8_t background = 0;
    bool pending_wrap = false;
};

struct screen_state {
    bool open = false;
    std::uint8_t pages[screen_pages][page_size];
    int work = 0;
    int visible = 0;
    rgb palette[256];
    text_grid text;
    bool locked = false;
    bool display_stale = false;
    std::uint64_t last_refresh_ms = 0;
    bool drawing = true;
    bool keep_pixels_at_open = false;
};

screen_state screen;

bool valid_page(int page) { return page >= 0 && page < screen_pages; }

void mark_visible_changed() { screen.display_stale = true; }

// For each row of 8 glyph bits, 8 bytes of 0xFF where a bit is set, in
// screen order once stored.
constexpr auto glyph_row_masks = [] {
    std::array<std::uint64_t, 256> masks{};
    for (int bits = 0; bits < 256; ++bits)
        for (int x = 0; x < 8; ++x)
            if (bits & (0x80 >> x))
                masks[bits] |= std::uint64_t{0xFF}
                               << (std::endian::native == std::endian::little ? 8 * x : 8 * (7 - x));
    return masks;
}();

void draw_glyph_cell(int row, int column, std::uint8_t code) {
    const text_grid& t = screen.text;
    std::uint8_t* page = screen.pages[screen.work];
    const int top = (row - 1) * t.cell_height;
    const int left = (column - 1) * 8;
    const std::uint64_t foreground = 0x0101010101010101ull * t.foreground;
    const std::uint64_t background = 0x0101010101010101ull * t.background;
    // A glyph is 8 rows; taller cells centre it. Each row is one store.
    const int glyph_top = top + (t.cell_height - 8) / 2;
    for (int y = top; y < top + t.cell_height && y < screen_height; ++y) {
        const int glyph_row = y - glyph_top;
        const std::uint8_t bits = (glyph_row >= 0 && glyph_row < 8) ? cp437_font[code][glyph_row] : 0;
        const std::uint64_t mask = glyph_row_masks[bits];
        const std::uint64_t cells = (foreground & mask) | (background & ~mask);
        std::memcpy(page + y * screen_width + left, &cells, 8);
    }
    count_bytes_drawn(8 * t.cell_height);
}

// Moves every pixel row up by one text row and clears the bottom text row.
void scroll_text_up() {
    const text_grid& t = screen.text;
    std::uint8_t* page = screen.pages[screen.work];
    const int shift = t.cell_height * screen_width;
    const int used = t.rows * t.cell_height * screen_width;
    std::memmove(page, page + shift, used - shift);
    std::memset(page + used - shift, t.background, shift);
}

// Where print_text's loop leaves the cursor after count cells, in one step,
// for printing without drawing: each cell moves it on one, the last cell of
// the grid leaves a wrap pending, and each cell after it wraps to the start
// of the bottom row (the scroll) and fills that row again.
void advance_text_cursor(text_grid& t, std::size_t count) {
    // Most text ends on the row it starts on, or fills it to its end.
    if (!t.pending_wrap) {
        const auto left_on_row = static_cast<std::size_t>(t.columns - t.column + 1);
        if (count < left_on_row) {
            t.column += static_cast<int>(count);
            return;
        }
        if (count == left_on_row && t.row < t.rows) {
            ++t.row;
            t.column = 1;
            return;
        }
    }
    const std::size_t columns = static_cast<std::size_t>(t.columns);
    const std::size_t last = static_cast<std::size_t>(t.rows) * columns - 1;
    const std::size_t bottom_row = last + 1 - columns;
    std::size_t at = t.pending_wrap ? bottom_row : static_cast<std::size_t>(t.row - 1) * columns + (t.column - 1);
    t.pending_wrap = false;
    if (count <= last - at) {
        at += count;
    } else if (const std::size_t after_last = (count - (last - at) - 1) % columns; after_last == 0) {
        at = last;
        t.pending_wrap = true;
    } else {
        at = bottom_row + after_last;
    }
    t.row = static_cast<int>(at / columns) + 1;
    t.column = static_cast<int>(at % columns) + 1;
}

}  // namespace

bool open_screen(int width, int height, int depth, int pages, bool full_screen) {
    if (width != screen_width || height != screen_height || depth != 8 || pages < 1 || pages > screen_pages)
        return false;
    platform* p = current_platform();
    if (p == nullptr || !p->open_display(full_screen)) return false;
    if (!screen.keep_pixels_at_open) std::memset(screen.pages, 0, sizeof screen.pages);
    screen.keep_pixels_at_open = false;
    start_page_history(p->virtual_ms());
    screen.work = screen.visible = 0;
    fill_default_palette(screen.palette);
    screen.text = text_grid{};
    screen.locked = false;
    screen.open = true;
    screen.display_stale = true;
    refresh_display(true);
    return true;
}

void set_text_grid(int columns, int rows) {
    if (!screen.open || columns <= 0 || rows <= 0) return;
    const int cell_width = screen_width / columns;
    const int cell_height = screen_height / rows;
    if (cell_width != 8 || (cell_height != 8 && cell_height != 14 && cell_height != 16)) return;
    screen.text.columns = columns;
    screen.text.rows = rows;
    screen.text.cell_height = cell_height;
    clear_screen();
}

void set_pages(int work, int visible) {
    if (work < 0 && visible < 0) {
        work = visible = 0;
    }
    if (work >= 0 && valid_page(work)) screen.work = work;
    if (visible >= 0 && valid_page(visible) && visible != screen.visible) {
        screen.visible = visible;
        mark_visible_changed();
    }
}

void copy_page(int source, int destination) {
    if (source == -1) source = screen.work;
    if (destination == -1) destination = screen.visible;
    if (!screen.open || !valid_page(source) || !valid_page(destination) || source == destination) return;
    note_page_copied(source, destination);
    if (!screen.drawing) return;
    std::memcpy(screen.pages[destination], screen.pages[source], page_size);
    count_bytes_drawn(page_size);
    if (destination == screen.visible) mark_visible_changed();
}

void flip() { copy_page(-1, -1); }

void lock_screen() { screen.locked = true; }

void unlock_screen(int, int) {
    // The game always shows the whole screen; the rows only matter to a
    // display that can update part of itself.
    screen.locked = false;
    if (screen.work == screen.visible) mark_visible_changed();
    refresh_display(false);
}

void clear_screen() {
    if (!screen.open) return;
    if (screen.drawing) {
        std::memset(screen.pages[screen.work], screen.text.background, page_size);
        count_bytes_drawn(page_size);
    }
    note_work_page_covered(screen.text.background);
    screen.text.row = screen.text.column = 1;
    screen.text.pending_wrap = false;
    note_work_page_drawn();
}

void set_text_colour(int foreground) { screen.text.foreground = static_cast<std::uint8_t>(foreground); }

void locate_text(int row, int column) {
    text_grid& t = screen.text;
    t.row = std::clamp(row, 1, t.rows);
    t.column = std::clamp(column, 1, t.columns);
    t.pending_wrap = false;
}

namespace {

[[gnu::noinline]] void draw_text_cells(text_grid& t, std::string_view text) {
    for (const char c : text) {
        if (t.pending_wrap) {
            scroll_text_up();
            t.row = t.rows;
            t.column = 1;
            t.pending_wrap = false;
        }
        draw_glyph_cell(t.row, t.column, static_cast<std::uint8_t>(c));
        if (t.column < t.columns) {
            ++t.column;
        } else if (t.row < t.rows) {
            t.column = 1;
            ++t.row;
        } else {
            t.pending_wrap = true;
        }
    }
    note_work_page_drawn();
}

}  // namespace

void print_text(std::string_view text) {
    if (!screen.open || text.empty()) return;
    note_work_page_drawn_on();
    // Kept apart, so that text that is not drawn costs only its layout.
    if (screen.drawing)
        draw_text_cells(screen.text, text);
    else
        advance_text_cursor(screen.text, text.size());
}

namespace {
void (*drawing_resumed)() = nullptr;
}  // namespace

void on_drawing_resumed(void (*hook)()) { drawing_resumed = hook; }

void set_drawing(bool on) {
    if (on && !screen.drawing && screen.open) {
        if (drawing_resumed != nullptr) drawing_resumed();
        // The pages that have held one colour since drawing went off get it now.
        for (int page = 0; page < screen_pages; ++page)
            if (plain_colour_of(page) >= 0) std::memset(screen.pages[page], plain_colour_of(page), page_size);
    }
    screen.drawing = on;
    if (on) mark_visible_changed();
}
bool drawing() { return screen.drawing; }
void keep_pixels_at_next_open() { screen.keep_pixels_at_open = true; }

bool skip_drawing_on_work_page() {
    note_work_page_drawn_on();
    return !screen.drawing;
}

bool screen_is_open() { return screen.open; }
std::uint8_t* work_page_pixels() { return screen.pages[screen.work]; }
const std::uint8_t* page_pixels(int page) { return valid_page(page) ? screen.pages[page] : nullptr; }
int current_work_page() { return screen.work; }
int current_visible_page() { return screen.visible; }
const rgb* screen_palette() { return screen.palette; }

void set_palette_entry(int index, rgb colour) {
    if (index < 0 || index > 255) return;
    screen.palette[index] = colour;
    mark_visible_changed();
}

namespace {
std::uint64_t drawn_total = 0;
}  // namespace

void count_bytes_drawn(std::size_t bytes) { drawn_total += bytes; }
std::uint64_t bytes_drawn() { return drawn_total; }

void note_work_page_drawn() {
    if (screen.work == screen.visible) mark_visible_changed();
}

void refresh_display(bool force) {
    if (!screen.open || screen.locked || !screen.display_stale) return;
    // What would be shown is read, drawn or not.
    note_page_shown(screen.visible);
    if (!screen.drawing) return;
    platform* p = current_platform();
    const std::uint64_t now = p->now_ms();
    if (!force && now - screen.last_refresh_ms < refresh_period_ms) return;
    p->present(screen.pages[screen.visible], screen.palette);
    screen.display_stale = false;
    screen.last_refresh_ms = now;
}
