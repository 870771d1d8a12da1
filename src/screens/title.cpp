// The title screen with the best score and the blinking start prompt.
#include <string>

#include "assets/assets.h"
#include "present/image.h"
#include "present/input.h"
#include "present/platform.h"
#include "present/screen.h"
#include "screens/screen_common.h"
#include "screens/screens.h"
#include "state/program_state.h"
#include "state/view.h"

namespace {
constexpr int prompt_phase_frames = 30;
}  // namespace

std::int32_t title_screen() {
    part_on_show = part_title;
    empty_key_queue();
    show_picture(picture_title);
    if (platform* p = current_platform()) p->title_shown();
    std::int32_t quit = 0, start = 0, blink_timer = 0, prompt_visible = 0;
    bool last_read_ok = false;
    int mouse_x = 0, mouse_y = 0, wheel = 0, buttons = 0, clip = 0;
    static std::string best_line;  // kept, so that the title allocates nothing once shown
    best_line.assign("Hi Score ").append(padded_number(hi_score, 8));
    while (!quit && !start) {
        set_pages(work_page, visible_page);
        copy_page(picture_page, work_page);
        const std::string key = inkey();
        last_read_ok = get_mouse(mouse_x, mouse_y, wheel, buttons, clip) == 0;
        if (last_read_ok) {
            quit = (buttons & 4) ? -1 : 0;
            start = (buttons & 1) ? -1 : 0;
        }
        if (key == escape_key || key == close_button_key) quit = -1;
        draw_text(nullptr, 8, 8, best_line, -1);
        if (--blink_timer < 0) {
            blink_timer = prompt_phase_frames;
            prompt_visible = prompt_visible ? 0 : -1;
        }
        if (prompt_visible) {
            draw_text(nullptr, 224, 240, "Press", -1);
            draw_text(nullptr, 80, 312, "MOUSE Button", -1);
            draw_text(nullptr, 160, 384, "to START", -1);
        }
        flip();
        std::swap(work_page, visible_page);
        sleep_plain(30);
    }
    keyboard_control = (last_read_ok && (buttons & 1)) ? 0 : -1;
    if (platform* p = current_platform()) p->title_left();
    return quit;
}
