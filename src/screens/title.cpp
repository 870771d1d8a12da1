// The title screen with the best score and the blinking start prompt, and
// two routines all screens share: story pictures and the release wait.
#include "assets/assets.h"
#include "files/game_files.h"
#include "flow/flow.h"
#include "present/image.h"
#include "present/input.h"
#include "present/screen.h"
#include "screens/screens.h"
#include "screens/screens_internal.h"

namespace {

constexpr int prompt_phase_frames = 30;

void empty_key_queue() {
    while (!inkey().empty()) {
    }
}

}  // namespace

std::int32_t title_screen() {
    empty_key_queue();
    show_picture(0);
    std::int32_t quit = 0, start = 0, blink_timer = 0, prompt_visible = 0;
    bool last_read_ok = false;
    int mouse_x = 0, mouse_y = 0, wheel = 0, buttons = 0, clip = 0;
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
        draw_text(nullptr, 8, 8, "Hi Score " + padded_number(hi_score, 8), -1);
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
    keyboard_control = (last_read_ok && (buttons & 1)) ? 0 : 1;
    return quit;
}

void show_picture(int number) {
    static const char* const files[4] = {"title.bmp", "opening.bmp", "crashing.bmp", "ending.bmp"};
    set_pages(picture_page, visible_page);
    if (number >= 0 && number <= 3) load_bmp(graphics_file(files[number]).c_str(), nullptr);
    // Bottom-right first, so every picture pixel is read before a block covers it.
    for (int y = 59; y >= 0; --y)
        for (int x = 79; x >= 0; --x)
            draw_filled_box(nullptr, 8 * x, 8 * y, 8 * x + 7, 8 * y + 7, read_pixel(nullptr, x, y));
    set_pages(work_page, visible_page);
}

void wait_release() {
    while (key_down(scan_escape)) sleep_or_key(1);
    int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
    if (get_mouse(x, y, wheel, buttons, clip) == 0) {
        while (buttons != 0) get_mouse(x, y, wheel, buttons, clip);
    }
    empty_key_queue();
}
