#include "present/input.h"

#include <algorithm>
#include <cstring>

#include "present/input_events.h"
#include "present/input_recording.h"
#include "present/input_script.h"
#include "present/platform.h"
#include "present/screen.h"

namespace {

constexpr int queue_slots = 16;  // one slot stays free: at most 15 presses wait
// Polls in a row without a sleep before the platform is asked to idle.
constexpr int busy_polls_before_idle = 64;

struct key_press {
    char bytes[2];
    int length;
};

struct input_state {
    bool held[128] = {};
    // Keys and buttons that went down since the game last read them: a press
    // that begins and ends between two reads still counts, once.
    bool pressed_since_read[128] = {};
    int buttons_pressed_since_read = 0;
    // The window lost the focus or was minimised since the game last asked.
    bool player_left = false;
    key_press queue[queue_slots] = {};
    int queue_head = 0;  // oldest press
    int queue_tail = 0;  // next free slot
    bool key_pressed = false;
    int mouse_x = 0, mouse_y = 0, wheel = 0, buttons = 0;
    bool pointer_inside = false;
    bool focus = true;
    bool pointer_confined = false;
    int polls_without_sleep = 0;
};

input_state input;

// Every look at the input lets the platform deliver what has arrived and
// keeps the display fresh; a game that polls without sleeping gets idled.
void poll_platform() {
    platform* p = current_platform();
    if (p == nullptr) return;
    if (++input.polls_without_sleep > busy_polls_before_idle) {
        input.polls_without_sleep = 0;
        p->idle();
    }
    p->pump_events();
    refresh_display(false);
}

void pass_time(int ms) {
    platform* p = current_platform();
    input.polls_without_sleep = 0;
    if (p == nullptr) return;
    refresh_display(true);
    p->sleep_begins(std::max(ms, 0));
    const std::uint64_t deadline = p->wake_time(std::max(ms, 0));
    for (;;) {
        p->pump_events();
        refresh_display(false);
        const std::uint64_t now = p->now_ms();
        if (now >= deadline) break;
        p->wait_ms(static_cast<int>(std::min<std::uint64_t>(deadline - now, p->longest_wait_ms())));
    }
    p->sleep_ends();
}

// What reached the game, for the recording.
void record(script_action action) {
    script_event event{};
    event.action = action;
    record_input_event(event);
}

// A queued press as typed, so that it replays the same on any keyboard layout.
void record_press(std::string_view press) {
    script_event event{};
    event.action = press == close_button_key ? script_action::close : script_action::type;
    if (event.action == script_action::type) event.set_key_press(press);
    record_input_event(event);
}
}  // namespace

int get_mouse(int& x, int& y, int& wheel, int& buttons, int& clip) {
    poll_platform();
    if (!input.focus || !input.pointer_inside) {
        input.buttons_pressed_since_read = 0;
        x = y = wheel = buttons = clip = -1;
        return 1;
    }
    x = input.mouse_x;
    y = input.mouse_y;
    wheel = input.wheel;
    buttons = input.buttons | input.buttons_pressed_since_read;
    input.buttons_pressed_since_read = 0;
    clip = input.pointer_confined ? 1 : 0;
    return 0;
}

void set_mouse(int x, int y, int visibility, int clip) {
    platform* p = current_platform();
    if (p == nullptr) return;
    if (x >= 0) {
        input.mouse_x = std::min(x, 639);
        input.mouse_y = std::clamp(y, 0, 479);
        p->warp_pointer(input.mouse_x, input.mouse_y);
    }
    if (visibility >= 0) p->show_pointer(visibility > 0);
    if (clip >= 0) {
        input.pointer_confined = clip > 0;
        p->confine_pointer(input.pointer_confined);
    }
}

int key_down(int code) {
    poll_platform();
    if (code < 0 || code > 127) return 0;
    const bool down = input.held[code] || input.pressed_since_read[code];
    input.pressed_since_read[code] = false;
    return down ? -1 : 0;
}

bool player_left_game() {
    const bool left = input.player_left;
    input.player_left = false;
    return left;
}

std::string inkey() {
    poll_platform();
    input.key_pressed = false;
    if (input.queue_head == input.queue_tail) return {};
    const key_press& press = input.queue[input.queue_head];
    input.queue_head = (input.queue_head + 1) % queue_slots;
    return std::string(press.bytes, press.length);
}

void sleep_plain(int ms) { pass_time(ms); }

void sleep_or_key(int ms) {
    if (ms > 99) {
        int remaining = ms;
        while (remaining > 50) {
            pass_time(50);
            remaining -= 50;
            const bool pressed = input.key_pressed;
            input.key_pressed = false;
            if (pressed) return;
        }
        pass_time(remaining);
    } else if (ms >= 0) {
        pass_time(ms);
    } else {
        input.key_pressed = false;
        while (!input.key_pressed) pass_time(10);
        input.key_pressed = false;
    }
}

void report_key(int scan_code, bool held) {
    if (scan_code < 0 || scan_code >= 128) return;
    if (recording_input()) {
        script_event event{};
        event.action = held ? script_action::key_down : script_action::key_up;
        event.scan_code = static_cast<std::uint8_t>(scan_code);
        record_input_event(event);
    }
    input.held[scan_code] = held;
    if (held && input.focus) input.pressed_since_read[scan_code] = true;
}

void queue_key_press(std::string_view press) {
    if (press.empty() || press.size() > 2) return;
    if (recording_input()) record_press(press);
    const int next_tail = (input.queue_tail + 1) % queue_slots;
    if (next_tail == input.queue_head) input.queue_head = (input.queue_head + 1) % queue_slots;
    key_press& slot = input.queue[input.queue_tail];
    std::memcpy(slot.bytes, press.data(), press.size());
    slot.length = static_cast<int>(press.size());
    input.queue_tail = next_tail;
    input.key_pressed = true;
}

// A report that changes nothing is not written down, so that a recording
// replayed and recorded again gives the same lines.
void report_pointer_position(int x, int y) {
    const int new_x = std::clamp(x, 0, 639), new_y = std::clamp(y, 0, 479);
    const bool moved = !input.pointer_inside || new_x != input.mouse_x || new_y != input.mouse_y;
    input.mouse_x = new_x;
    input.mouse_y = new_y;
    if (moved && recording_input()) {
        script_event event{};
        event.action = script_action::move;
        event.x = static_cast<std::int16_t>(input.mouse_x);
        event.y = static_cast<std::int16_t>(input.mouse_y);
        record_input_event(event);
    }
    input.pointer_inside = true;
}

void report_pointer_left() {
    record(script_action::leave);
    input.pointer_inside = false;
    input.buttons_pressed_since_read = 0;
}

void report_mouse_button(int bit, bool held) {
    if (bit >= 0 && bit < 3 && recording_input()) {
        script_event event{};
        event.action = held ? script_action::press : script_action::release;
        event.button_bit = static_cast<std::uint8_t>(bit);
        record_input_event(event);
    }
    if (held) {
        input.buttons |= 1 << bit;
        // Only a press the game could have read counts.
        if (input.focus && input.pointer_inside) input.buttons_pressed_since_read |= 1 << bit;
    } else {
        input.buttons &= ~(1 << bit);
    }
}

void report_wheel(int notches) { input.wheel += notches; }

void report_focus(bool has_focus) {
    if (has_focus) {
        if (!input.focus) record(script_action::focus_in);
        input.focus = true;
        return;
    }
    record(script_action::focus_out);
    input.focus = false;
    std::fill(std::begin(input.held), std::end(input.held), false);
    std::fill(std::begin(input.pressed_since_read), std::end(input.pressed_since_read), false);
    input.buttons_pressed_since_read = 0;
    input.player_left = true;
}

void report_minimised() {
    record(script_action::minimise);
    input.player_left = true;
}

void reset_input() { input = input_state{}; }
