#include "screens/screen_common.h"

#include <string>

#include "assets/assets.h"
#include "assets/picture_files.h"
#include "files/game_files.h"
#include "present/image.h"
#include "present/screen.h"
#include "screens/screens.h"
#include "state/view.h"

void show_picture(story_picture picture) {
    set_pages(picture_page, visible_page);
    static std::string path;  // kept, so that showing a picture again allocates nothing
    graphics_file(story_picture_files[picture], path);
    load_bmp(path.c_str(), nullptr);
    // Bottom-right first, so every picture pixel is read before a block covers it.
    for (int y = 59; y >= 0; --y)
        for (int x = 79; x >= 0; --x)
            draw_filled_box(nullptr, 8 * x, 8 * y, 8 * x + 7, 8 * y + 7, read_pixel(nullptr, x, y));
    set_pages(work_page, visible_page);
}

void empty_key_queue() {
    while (!inkey().empty()) {
    }
}

void wait_release() {
    while (key_down(scan_escape)) sleep_or_key(1);
    int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
    if (get_mouse(x, y, wheel, buttons, clip) == 0) {
        while (buttons != 0) get_mouse(x, y, wheel, buttons, clip);
    }
    empty_key_queue();
}

bool skip_requested() {
    const std::string key = inkey();
    bool skip = key == escape_key || key == close_button_key;
    int x = 0, y = 0, wheel = 0, buttons = 0, clip = 0;
    if (get_mouse(x, y, wheel, buttons, clip) == 0 && (buttons & 4)) skip = true;
    return skip;
}

void draw_bar(int row) {
    locate_text(row, 1);
    print_text(full_blocks(80));
}
