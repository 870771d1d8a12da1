// The pause dialog over the frozen game: "Quit? (Y/N)", answered with the
// keys or by clicking Y or N with its own pointer.
#include <algorithm>
#include <cctype>
#include <string>

#include "assets/assets.h"
#include "present/input.h"
#include "present/screen.h"
#include "screens/screens.h"
#include "state/play_state.h"
#include "state/program_state.h"

namespace {

enum choice_made { no_choice = 0, choose_quit = 1, choose_play_on = 2 };

std::string upper_case(std::string key) {
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(c < 128 ? std::toupper(c) : c); });
    return key;
}

// Keeps the pointer inside the dialog, moving the system pointer along.
void keep_in_limits(int& x, int& y) {
    const auto correct = [&](int& value, bool outside, int limit) {
        if (!outside) return;
        value = limit;
        set_mouse(x, y, -1, -1);
    };
    correct(x, x < 72, 72);
    correct(y, y < 96, 96);
    correct(x, x > 560, 560);
    correct(y, y > 264, 264);
}

int run_pointer(int& x, int& y, int buttons) {
    int choice = no_choice;
    x &= ~7;
    y &= ~7;
    keep_in_limits(x, y);
    if (y >= 152 && y <= 200) {
        if (x >= 352 && x <= 392) {
            draw_text(nullptr, 360, 152, "Y", 4);
            if (buttons & 1) choice = choose_quit;
        }
        if (x >= 448 && x <= 496) {
            draw_text(nullptr, 456, 152, "N", 4);
            if (buttons & 1) choice = choose_play_on;
        }
    }
    if (buttons & 4) choice = choose_play_on;
    put_sprite_silhouette(nullptr, x - 64, y - 64, sprite_pause_pointer, 15);
    return choice;
}

}  // namespace

void pause_screen(std::int32_t& outcome) {
    part_on_show = part_pause;
    set_pages(0, 0);
    int saved_x = 0, saved_y = 0, wheel = 0, buttons = 0, clip = 0;
    get_mouse(saved_x, saved_y, wheel, buttons, clip);
    wait_release();
    set_mouse(320, 184, -1, -1);
    std::string key;
    int choice = no_choice;
    do {
        lock_screen();
        draw_filled_box(nullptr, 64, 88, 575, 279, 0);
        draw_text(nullptr, 120, 152, "Quit? (Y/N)", 14);
        key = upper_case(inkey());
        int x = 0, y = 0;
        if (keyboard_control == 0 && get_mouse(x, y, wheel, buttons, clip) == 0) {
            const int pointer_choice = run_pointer(x, y, buttons);
            if (pointer_choice != no_choice) choice = pointer_choice;
        }
        if (key == upper_case(close_button_key)) choice = choose_play_on;
        unlock_screen(-1, -1);
        sleep_plain(1);
    } while (key != "Y" && key != "N" && key != escape_key && choice == no_choice);
    outcome = (key == "Y" || choice == choose_quit) ? outcome_quit : outcome_play_on;
    wait_release();
    set_mouse(saved_x, saved_y, -1, -1);
}
