// The closing screen after every defeat: the sequel is announced for four
// seconds, or until the player skips it.
#include "assets/assets.h"
#include "present/image.h"
#include "present/input.h"
#include "present/screen.h"
#include "screens/screen_common.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {
constexpr int ending_end = 100;
}

void ending_screen() {
    part_on_show = part_ending;
    set_pages(visible_page, visible_page);
    draw_filled_box(nullptr, 0, 0, 639, 479, 1);
    draw_text(nullptr, 48, 96, "To Be Continued ", -1);
    draw_text(nullptr, 288, 200, "in", -1);
    draw_text(nullptr, 184, 304, "Zarvok", -1);
    draw_text(nullptr, 0, 384, "the Quennaril", -1);
    play_sequence(ending_end, [](int) {});
}
