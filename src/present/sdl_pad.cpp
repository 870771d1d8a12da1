#include "present/sdl_pad.h"

#include <algorithm>
#include <cmath>

#include "present/keys.h"
#include "present/pad_motion.h"
#include "present/screen.h"

namespace {

// A stick's axis as -1..1.
float axis(SDL_GameController* pad, SDL_GameControllerAxis which) {
    return std::max(-1.0f, static_cast<float>(SDL_GameControllerGetAxis(pad, which)) / 32767.0f);
}

bool held(SDL_GameController* pad, SDL_GameControllerButton which) {
    return SDL_GameControllerGetButton(pad, which) != 0;
}

// A pause after this long is not motion to make up for.
constexpr std::uint64_t longest_step_ms = 100;

void left_button(bool down, std::vector<input_report>& out) {
    out.push_back({input_report::kind::button, 0, down, 0, 0, {}});
}

void escape(bool down, std::vector<input_report>& out) {
    out.push_back({input_report::kind::key, scan_escape, down, 0, 0, {}});
    if (down) out.push_back({input_report::kind::press, 0, false, 0, 0, escape_key});
}

}  // namespace

sdl_pads::~sdl_pads() {
    for (SDL_GameController* pad : open_) SDL_GameControllerClose(pad);
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool sdl_pads::start() {
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return false;
    started_ = true;
    // Those plugged in already arrive as SDL_CONTROLLERDEVICEADDED events.
    return true;
}

bool sdl_pads::handle(const SDL_Event& e, bool title_on_show, std::vector<input_report>& out) {
    switch (e.type) {
        case SDL_CONTROLLERDEVICEADDED:
            if (SDL_GameController* pad = SDL_GameControllerOpen(e.cdevice.which)) open_.push_back(pad);
            return true;
        case SDL_CONTROLLERDEVICEREMOVED: {
            SDL_GameController* pad = SDL_GameControllerFromInstanceID(e.cdevice.which);
            if (const auto it = std::find(open_.begin(), open_.end(), pad); it != open_.end()) {
                SDL_GameControllerClose(pad);
                open_.erase(it);
            }
            return true;
        }
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP: {
            const bool down = e.type == SDL_CONTROLLERBUTTONDOWN;
            switch (e.cbutton.button) {
                case SDL_CONTROLLER_BUTTON_A: left_button(down, out); break;
                case SDL_CONTROLLER_BUTTON_B:
                case SDL_CONTROLLER_BUTTON_BACK: escape(down, out); break;
                case SDL_CONTROLLER_BUTTON_START:
                    // Pressed on the title, it starts a game and is released as it began.
                    if (down) start_is_a_ = title_on_show;
                    start_is_a_ ? left_button(down, out) : escape(down, out);
                    break;
                default: break;
            }
            return true;
        }
        case SDL_CONTROLLERAXISMOTION:
        case SDL_CONTROLLERDEVICEREMAPPED: return true;
        default: return false;
    }
}

void sdl_pads::move(std::uint64_t now_ms, const window_settings& settings, std::vector<input_report>& out) {
    const std::uint64_t step = std::min(now_ms - std::min(now_ms, last_move_ms_), longest_step_ms);
    last_move_ms_ = now_ms;
    float dx = 0, dy = 0;
    for (SDL_GameController* pad : open_) {
        const bool fast =
            held(pad, SDL_CONTROLLER_BUTTON_LEFTSHOULDER) || held(pad, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
        const auto ms = static_cast<int>(step);
        // The d-pad is a stick held over to the full.
        const float pad_x = static_cast<float>(held(pad, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) -
                            static_cast<float>(held(pad, SDL_CONTROLLER_BUTTON_DPAD_LEFT));
        const float pad_y = static_cast<float>(held(pad, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) -
                            static_cast<float>(held(pad, SDL_CONTROLLER_BUTTON_DPAD_UP));
        for (const cursor_motion m :
             {stick_motion(axis(pad, SDL_CONTROLLER_AXIS_LEFTX), axis(pad, SDL_CONTROLLER_AXIS_LEFTY),
                           settings.pad_dead_zone, settings.pad_speed, fast, ms),
              stick_motion(axis(pad, SDL_CONTROLLER_AXIS_RIGHTX), axis(pad, SDL_CONTROLLER_AXIS_RIGHTY),
                           settings.pad_dead_zone, settings.pad_speed, fast, ms),
              stick_motion(pad_x, pad_y, 0, settings.pad_speed, fast, ms)}) {
            dx += m.dx;
            dy += m.dy;
        }
    }
    if (dx == 0 && dy == 0) return;
    cursor_x_ = std::clamp(cursor_x_ + dx, 0.0f, static_cast<float>(screen_width - 1));
    cursor_y_ = std::clamp(cursor_y_ + dy, 0.0f, static_cast<float>(screen_height - 1));
    const int x = static_cast<int>(cursor_x_), y = static_cast<int>(cursor_y_);
    if (x == shown_x_ && y == shown_y_) return;
    shown_x_ = x;
    shown_y_ = y;
    out.push_back({input_report::kind::pointer, 0, false, x, y, {}});
}

void sdl_pads::follow_pointer(int x, int y) {
    cursor_x_ = static_cast<float>(x);
    cursor_y_ = static_cast<float>(y);
    shown_x_ = x;
    shown_y_ = y;
}
