#include "present/sdl_input.h"

#include <algorithm>

#include "present/keys.h"
#include "present/screen.h"

namespace {

using report = input_report;

// The press a key queues without typing a character (its typed characters
// come as text), or nothing.
std::string press_of(SDL_Keycode key) {
    if (key >= SDLK_F1 && key <= SDLK_F10) return extended_press(ext_f1 + (key - SDLK_F1));
    switch (key) {
        case SDLK_UP: return extended_press(ext_up);
        case SDLK_DOWN: return extended_press(ext_down);
        case SDLK_LEFT: return extended_press(ext_left);
        case SDLK_RIGHT: return extended_press(ext_right);
        case SDLK_INSERT: return extended_press(ext_insert);
        case SDLK_DELETE: return extended_press(ext_delete);
        case SDLK_HOME: return extended_press(ext_home);
        case SDLK_END: return extended_press(ext_end);
        case SDLK_PAGEUP: return extended_press(ext_page_up);
        case SDLK_PAGEDOWN: return extended_press(ext_page_down);
        case SDLK_ESCAPE: return escape_key;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return enter_key;
        case SDLK_BACKSPACE: return "\b";
        case SDLK_TAB: return "\t";
        default: return {};
    }
}

// Code page 437 byte of a typed Unicode character, or 0 when it has none.
int cp437_of(std::uint32_t code_point) {
    if (code_point >= 32 && code_point < 127) return static_cast<int>(code_point);
    static const std::uint16_t upper_half[48] = {
        0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB,   0xE8, 0xEF, 0xEE, 0xEC, 0xC4,   0xC5,
        0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6,   0xDC, 0xA2, 0xA3, 0xA5, 0x20A7, 0x192,
        0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0x2310, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB,   0xBB,
    };
    for (int i = 0; i < 48; ++i)
        if (upper_half[i] == code_point) return 128 + i;
    return 0;
}

// One press per typed character that code page 437 has.
void typed_text(const char* utf8, std::vector<report>& out) {
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s != 0) {
        std::uint32_t cp = *s;
        int extra = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
        if (extra > 0) cp &= 0x3F >> extra;
        ++s;
        for (; extra > 0 && (*s & 0xC0) == 0x80; --extra, ++s) cp = (cp << 6) | (*s & 0x3F);
        if (const int c = cp437_of(cp); c != 0)
            out.push_back({report::kind::press, 0, false, 0, 0, std::string(1, static_cast<char>(c))});
    }
}

// A place on the window as a place on the picture; the black bars belong to
// the picture's nearest edge.
void pointer_at(int window_x, int window_y, const picture_place& place, std::vector<report>& out) {
    if (place.width <= 0 || place.height <= 0) return;
    const int x = (window_x - place.x) * screen_width / place.width;
    const int y = (window_y - place.y) * screen_height / place.height;
    out.push_back(
        {report::kind::pointer, 0, false, std::clamp(x, 0, screen_width - 1), std::clamp(y, 0, screen_height - 1), {}});
}

int button_bit(Uint8 button) {
    switch (button) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        default: return -1;
    }
}

void window_event(const SDL_WindowEvent& e, const picture_place& place, SDL_Point pointer, std::vector<report>& out) {
    switch (e.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: out.push_back({report::kind::focus, 0, true, 0, 0, {}}); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: out.push_back({report::kind::focus, 0, false, 0, 0, {}}); break;
        case SDL_WINDOWEVENT_ENTER: pointer_at(pointer.x, pointer.y, place, out); break;
        case SDL_WINDOWEVENT_LEAVE: out.push_back({report::kind::pointer_left, 0, false, 0, 0, {}}); break;
        case SDL_WINDOWEVENT_CLOSE: out.push_back({report::kind::press, 0, false, 0, 0, close_button_key}); break;
        case SDL_WINDOWEVENT_MINIMIZED: out.push_back({report::kind::minimised, 0, false, 0, 0, {}}); break;
        default: break;
    }
}

}  // namespace

std::vector<input_report> map_sdl_input(const SDL_Event& event, const picture_place& place, SDL_Point pointer) {
    std::vector<report> out;
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const bool down = event.type == SDL_KEYDOWN;
            if (const int code = pc_scan_code(event.key.keysym.scancode); code != 0)
                out.push_back({report::kind::key, code, down, 0, 0, {}});
            if (down)
                if (std::string press = press_of(event.key.keysym.sym); !press.empty())
                    out.push_back({report::kind::press, 0, false, 0, 0, std::move(press)});
            break;
        }
        case SDL_TEXTINPUT: typed_text(event.text.text, out); break;
        case SDL_MOUSEMOTION: pointer_at(event.motion.x, event.motion.y, place, out); break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (const int bit = button_bit(event.button.button); bit >= 0)
                out.push_back({report::kind::button, bit, event.type == SDL_MOUSEBUTTONDOWN, 0, 0, {}});
            break;
        case SDL_MOUSEWHEEL:
            out.push_back({report::kind::wheel,
                           event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y,
                           false,
                           0,
                           0,
                           {}});
            break;
        case SDL_WINDOWEVENT: window_event(event.window, place, pointer, out); break;
        default: break;
    }
    return out;
}

int pc_scan_code(SDL_Scancode key) {
    if (key >= SDL_SCANCODE_A && key <= SDL_SCANCODE_Z)
        return scan_code_of_character(static_cast<char>('a' + (key - SDL_SCANCODE_A)));
    if (key >= SDL_SCANCODE_1 && key <= SDL_SCANCODE_0) return scan_1 + (key - SDL_SCANCODE_1);
    if (key >= SDL_SCANCODE_F1 && key <= SDL_SCANCODE_F10) return scan_f1 + (key - SDL_SCANCODE_F1);
    switch (key) {
        case SDL_SCANCODE_ESCAPE: return scan_escape;
        case SDL_SCANCODE_MINUS: return scan_minus;
        case SDL_SCANCODE_EQUALS: return scan_equals;
        case SDL_SCANCODE_BACKSPACE: return scan_backspace;
        case SDL_SCANCODE_TAB: return scan_tab;
        case SDL_SCANCODE_LEFTBRACKET: return scan_left_bracket;
        case SDL_SCANCODE_RIGHTBRACKET: return scan_right_bracket;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return scan_enter;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return scan_ctrl;
        case SDL_SCANCODE_SEMICOLON: return scan_semicolon;
        case SDL_SCANCODE_APOSTROPHE: return scan_apostrophe;
        case SDL_SCANCODE_GRAVE: return scan_grave;
        case SDL_SCANCODE_LSHIFT: return scan_left_shift;
        case SDL_SCANCODE_BACKSLASH: return scan_backslash;
        case SDL_SCANCODE_COMMA: return scan_comma;
        case SDL_SCANCODE_PERIOD: return scan_period;
        case SDL_SCANCODE_SLASH:
        case SDL_SCANCODE_KP_DIVIDE: return scan_slash;
        case SDL_SCANCODE_RSHIFT: return scan_right_shift;
        case SDL_SCANCODE_KP_MULTIPLY: return scan_keypad_star;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return scan_alt;
        case SDL_SCANCODE_SPACE: return scan_space;
        case SDL_SCANCODE_CAPSLOCK: return scan_caps_lock;
        case SDL_SCANCODE_NUMLOCKCLEAR: return scan_num_lock;
        case SDL_SCANCODE_SCROLLLOCK: return scan_scroll_lock;
        case SDL_SCANCODE_HOME:
        case SDL_SCANCODE_KP_7: return scan_home;
        case SDL_SCANCODE_UP:
        case SDL_SCANCODE_KP_8: return scan_up;
        case SDL_SCANCODE_PAGEUP:
        case SDL_SCANCODE_KP_9: return scan_page_up;
        case SDL_SCANCODE_KP_MINUS: return scan_keypad_minus;
        case SDL_SCANCODE_LEFT:
        case SDL_SCANCODE_KP_4: return scan_left;
        case SDL_SCANCODE_KP_5: return scan_keypad_5;
        case SDL_SCANCODE_RIGHT:
        case SDL_SCANCODE_KP_6: return scan_right;
        case SDL_SCANCODE_KP_PLUS: return scan_keypad_plus;
        case SDL_SCANCODE_END:
        case SDL_SCANCODE_KP_1: return scan_end;
        case SDL_SCANCODE_DOWN:
        case SDL_SCANCODE_KP_2: return scan_down;
        case SDL_SCANCODE_PAGEDOWN:
        case SDL_SCANCODE_KP_3: return scan_page_down;
        case SDL_SCANCODE_INSERT:
        case SDL_SCANCODE_KP_0: return scan_insert;
        case SDL_SCANCODE_DELETE:
        case SDL_SCANCODE_KP_PERIOD: return scan_delete;
        case SDL_SCANCODE_F11: return scan_f11;
        case SDL_SCANCODE_F12: return scan_f12;
        default: return 0;
    }
}
