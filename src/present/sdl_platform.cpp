#include "present/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "present/input_events.h"
#include "present/quiet_stderr.h"
#include "present/screen.h"
#include "present/window_icon.h"

namespace {

// PC scan codes (set 1) of the keys, by SDL scancode; 0 for keys without one.
int pc_scan_code(SDL_Scancode s) {
    if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) {
        static const int letters[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                        49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};
        return letters[s - SDL_SCANCODE_A];
    }
    if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_0) return 2 + (s - SDL_SCANCODE_1);
    if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F10) return 59 + (s - SDL_SCANCODE_F1);
    switch (s) {
        case SDL_SCANCODE_ESCAPE: return 1;
        case SDL_SCANCODE_MINUS: return 12;
        case SDL_SCANCODE_EQUALS: return 13;
        case SDL_SCANCODE_BACKSPACE: return 14;
        case SDL_SCANCODE_TAB: return 15;
        case SDL_SCANCODE_LEFTBRACKET: return 26;
        case SDL_SCANCODE_RIGHTBRACKET: return 27;
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return 28;
        case SDL_SCANCODE_LCTRL:
        case SDL_SCANCODE_RCTRL: return 29;
        case SDL_SCANCODE_SEMICOLON: return 39;
        case SDL_SCANCODE_APOSTROPHE: return 40;
        case SDL_SCANCODE_GRAVE: return 41;
        case SDL_SCANCODE_LSHIFT: return 42;
        case SDL_SCANCODE_BACKSLASH: return 43;
        case SDL_SCANCODE_COMMA: return 51;
        case SDL_SCANCODE_PERIOD: return 52;
        case SDL_SCANCODE_SLASH:
        case SDL_SCANCODE_KP_DIVIDE: return 53;
        case SDL_SCANCODE_RSHIFT: return 54;
        case SDL_SCANCODE_KP_MULTIPLY: return 55;
        case SDL_SCANCODE_LALT:
        case SDL_SCANCODE_RALT: return 56;
        case SDL_SCANCODE_SPACE: return 57;
        case SDL_SCANCODE_CAPSLOCK: return 58;
        case SDL_SCANCODE_NUMLOCKCLEAR: return 69;
        case SDL_SCANCODE_SCROLLLOCK: return 70;
        case SDL_SCANCODE_HOME:
        case SDL_SCANCODE_KP_7: return 71;
        case SDL_SCANCODE_UP:
        case SDL_SCANCODE_KP_8: return 72;
        case SDL_SCANCODE_PAGEUP:
        case SDL_SCANCODE_KP_9: return 73;
        case SDL_SCANCODE_KP_MINUS: return 74;
        case SDL_SCANCODE_LEFT:
        case SDL_SCANCODE_KP_4: return 75;
        case SDL_SCANCODE_KP_5: return 76;
        case SDL_SCANCODE_RIGHT:
        case SDL_SCANCODE_KP_6: return 77;
        case SDL_SCANCODE_KP_PLUS: return 78;
        case SDL_SCANCODE_END:
        case SDL_SCANCODE_KP_1: return 79;
        case SDL_SCANCODE_DOWN:
        case SDL_SCANCODE_KP_2: return 80;
        case SDL_SCANCODE_PAGEDOWN:
        case SDL_SCANCODE_KP_3: return 81;
        case SDL_SCANCODE_INSERT:
        case SDL_SCANCODE_KP_0: return 82;
        case SDL_SCANCODE_DELETE:
        case SDL_SCANCODE_KP_PERIOD: return 83;
        case SDL_SCANCODE_F11: return 87;
        case SDL_SCANCODE_F12: return 88;
        default: return 0;
    }
}

// The key press that a key queues without typing a character, or 0.
int extended_code(SDL_Keycode k) {
    if (k >= SDLK_F1 && k <= SDLK_F10) return ext_f1 + (k - SDLK_F1);
    switch (k) {
        case SDLK_UP: return ext_up;
        case SDLK_DOWN: return ext_down;
        case SDLK_LEFT: return ext_left;
        case SDLK_RIGHT: return ext_right;
        case SDLK_INSERT: return ext_insert;
        case SDLK_DELETE: return ext_delete;
        case SDLK_HOME: return ext_home;
        case SDLK_END: return ext_end;
        case SDLK_PAGEUP: return ext_page_up;
        case SDLK_PAGEDOWN: return ext_page_down;
        default: return 0;
    }
}

int control_character(SDL_Keycode k) {
    switch (k) {
        case SDLK_ESCAPE: return 27;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return 13;
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        default: return 0;
    }
}

// Code page 437 byte of a typed Unicode character, or 0 when it has none.
int cp437_of(std::uint32_t code_point) {
    if (code_point >= 32 && code_point < 127) return static_cast<int>(code_point);
    static const std::uint16_t upper_half[128] = {
        0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB,   0xE8, 0xEF, 0xEE, 0xEC, 0xC4,   0xC5,
        0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6,   0xDC, 0xA2, 0xA3, 0xA5, 0x20A7, 0x192,
        0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0x2310, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB,   0xBB,
    };
    for (int i = 0; i < 48; ++i)
        if (upper_half[i] == code_point) return 128 + i;
    return 0;
}

void queue_typed_text(const char* utf8) {
    const auto* s = reinterpret_cast<const unsigned char*>(utf8);
    while (*s != 0) {
        std::uint32_t cp = *s;
        int extra = cp >= 0xF0 ? 3 : cp >= 0xE0 ? 2 : cp >= 0xC0 ? 1 : 0;
        if (extra > 0) cp &= 0x3F >> extra;
        ++s;
        for (; extra > 0 && (*s & 0xC0) == 0x80; --extra, ++s) cp = (cp << 6) | (*s & 0x3F);
        if (const int c = cp437_of(cp); c != 0) queue_key_press(std::string(1, static_cast<char>(c)));
    }
}

// The smallest window the player can drag it to.
constexpr int smallest_window_width = screen_width / 2;
constexpr int smallest_window_height = screen_height / 2;
// How long a minimised game sleeps at a time while nothing happens.
constexpr int minimised_wait_ms = 100;

class sdl_platform final : public platform {
public:
    sdl_platform(std::string title, screenshot_handler on_screenshot)
        : title_(std::move(title)),
          on_screenshot_(std::move(on_screenshot)),
          shown_pixels_(static_cast<std::size_t>(screen_width) * screen_height) {}
    ~sdl_platform() override {
        if (upscaled_) SDL_DestroyTexture(upscaled_);
        if (frame_) SDL_DestroyTexture(frame_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    bool open_display(bool full_screen) override;
    const char* failure_reason() const override { return failure_.c_str(); }
    void present(const std::uint8_t* pixels, const rgb* palette) override;
    void pump_events() override;
    std::uint64_t now_ms() override { return SDL_GetTicks64(); }
    void wait_ms(int ms) override;
    void idle() override { wait_ms(1); }
    void warp_pointer(int x, int y) override;
    void show_pointer(bool shown) override { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }
    void confine_pointer(bool confined) override { SDL_SetWindowGrab(window_, confined ? SDL_TRUE : SDL_FALSE); }

private:
    bool create_window(bool full_screen);
    void set_full_screen(bool full_screen);
    void draw();
    SDL_Rect picture_rect_in_window() const;
    void report_pointer_at(int window_x, int window_y);
    void handle_window_event(const SDL_WindowEvent& e);

    std::string title_;
    screenshot_handler on_screenshot_;
    // The picture last shown, for screenshots.
    std::vector<std::uint8_t> shown_pixels_;
    rgb shown_palette_[256] = {};
    bool shown_any_ = false;
    bool minimised_ = false;
    int windowed_width_ = screen_width;
    int windowed_height_ = screen_height;
    std::string failure_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* frame_ = nullptr;     // the screen, 640x480
    SDL_Texture* upscaled_ = nullptr;  // the screen enlarged by a whole factor
    int upscale_factor_ = 0;
    bool full_screen_ = false;
};

bool sdl_platform::open_display(bool full_screen) {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window class is the desktop entry's name, so that docks and task
    // bars show the game's icon and group its windows under its entry.
    // SDL reads these from the environment; a player's own setting wins.
    setenv("SDL_VIDEO_X11_WMCLASS", KORVANE_APP_ID, 0);
    setenv("SDL_VIDEO_WAYLAND_WMCLASS", KORVANE_APP_ID, 0);
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    int init_result = 0;
    {
        quiet_stderr quiet;
        init_result = SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
    if (init_result != 0) {
        failure_ = std::string("no display: ") + SDL_GetError();
        return false;
    }
    // SDL falls back to drawing off screen when there is no display at all;
    // nobody would see that game, unless the user asked for it.
    const char* driver = SDL_GetCurrentVideoDriver();
    if (std::getenv("SDL_VIDEODRIVER") == nullptr && driver != nullptr &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        failure_ = "no display: no window system is available";
        return false;
    }
    if (!create_window(full_screen) && !create_window(!full_screen)) return false;
    SDL_StartTextInput();
    return true;
}

bool sdl_platform::create_window(bool full_screen) {
    // Hidden until it can draw: making the renderer may replace the window,
    // and the player should see one window appear, not two.
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (full_screen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, screen_width,
                               screen_height, flags);
    if (window_ == nullptr) {
        failure_ = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    if (SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t*>(window_icon_pixels), window_icon_size, window_icon_size, 32,
            window_icon_size * 4, SDL_PIXELFORMAT_ARGB8888)) {
        SDL_SetWindowIcon(window_, icon);
        SDL_FreeSurface(icon);
    }
    SDL_SetWindowMinimumSize(window_, smallest_window_width, smallest_window_height);
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
    if (renderer_ != nullptr)
        frame_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, screen_width,
                                   screen_height);
    if (frame_ == nullptr) {
        failure_ = std::string("cannot draw in the window: ") + SDL_GetError();
        if (renderer_) SDL_DestroyRenderer(renderer_);
        SDL_DestroyWindow(window_);
        renderer_ = nullptr;
        window_ = nullptr;
        return false;
    }
    SDL_SetTextureScaleMode(frame_, SDL_ScaleModeNearest);
    SDL_ShowWindow(window_);
    full_screen_ = full_screen;
    return true;
}

void sdl_platform::set_full_screen(bool full_screen) {
    if (full_screen == full_screen_) return;
    if (full_screen) {
        if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return;
    } else {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_RestoreWindow(window_);
        SDL_SetWindowSize(window_, windowed_width_, windowed_height_);
        SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
    full_screen_ = full_screen;
    draw();
}

void sdl_platform::wait_ms(int ms) {
    // Minimised, nobody sees the game: sleep until something happens instead
    // of polling at the game's pace.
    if (minimised_)
        SDL_WaitEventTimeout(nullptr, minimised_wait_ms);
    else
        SDL_Delay(static_cast<Uint32>(std::max(ms, 0)));
}

void sdl_platform::present(const std::uint8_t* pixels, const rgb* palette) {
    std::copy(pixels, pixels + shown_pixels_.size(), shown_pixels_.begin());
    std::copy(palette, palette + 256, shown_palette_);
    shown_any_ = true;
    if (minimised_) return;
    Uint32 lookup[256];
    for (int i = 0; i < 256; ++i)
        lookup[i] = 0xFF000000u | Uint32{palette[i].r} << 16 | Uint32{palette[i].g} << 8 | palette[i].b;
    void* out = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(frame_, nullptr, &out, &pitch) != 0) return;
    for (int y = 0; y < screen_height; ++y) {
        Uint32* row = reinterpret_cast<Uint32*>(static_cast<std::uint8_t*>(out) + y * pitch);
        const std::uint8_t* in = pixels + y * screen_width;
        for (int x = 0; x < screen_width; ++x) row[x] = lookup[in[x]];
    }
    SDL_UnlockTexture(frame_);
    draw();
}

// The 4:3 picture, as large as fits, centred; in renderer output pixels.
SDL_Rect picture_rect(int width, int height) {
    int w = width, h = width * 3 / 4;
    if (h > height) {
        h = height;
        w = height * 4 / 3;
    }
    return {(width - w) / 2, (height - h) / 2, w, h};
}

void sdl_platform::draw() {
    int out_w = 0, out_h = 0;
    SDL_GetRendererOutputSize(renderer_, &out_w, &out_h);
    const SDL_Rect dest = picture_rect(out_w, out_h);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    // Crisp pixels at any size: enlarge by the largest whole factor with
    // nearest-neighbour, then let the smooth final scale cover the rest.
    const int factor = std::max(1, dest.w / screen_width);
    if (dest.w == screen_width * factor && dest.h == screen_height * factor) {
        SDL_RenderCopy(renderer_, frame_, nullptr, &dest);
    } else {
        if (factor != upscale_factor_) {
            if (upscaled_) SDL_DestroyTexture(upscaled_);
            upscaled_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET,
                                          screen_width * factor, screen_height * factor);
            if (upscaled_) SDL_SetTextureScaleMode(upscaled_, SDL_ScaleModeLinear);
            upscale_factor_ = factor;
        }
        if (upscaled_ != nullptr && SDL_SetRenderTarget(renderer_, upscaled_) == 0) {
            SDL_RenderCopy(renderer_, frame_, nullptr, nullptr);
            SDL_SetRenderTarget(renderer_, nullptr);
            SDL_RenderCopy(renderer_, upscaled_, nullptr, &dest);
        } else {
            SDL_RenderCopy(renderer_, frame_, nullptr, &dest);
        }
    }
    SDL_RenderPresent(renderer_);
}

SDL_Rect sdl_platform::picture_rect_in_window() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return picture_rect(w, h);
}

void sdl_platform::report_pointer_at(int window_x, int window_y) {
    const SDL_Rect r = picture_rect_in_window();
    if (r.w <= 0 || r.h <= 0) return;
    // The black bars belong to the picture's nearest edge.
    const int x = (window_x - r.x) * screen_width / r.w;
    const int y = (window_y - r.y) * screen_height / r.h;
    report_pointer_position(std::clamp(x, 0, screen_width - 1), std::clamp(y, 0, screen_height - 1));
}

void sdl_platform::warp_pointer(int x, int y) {
    const SDL_Rect r = picture_rect_in_window();
    SDL_WarpMouseInWindow(window_, r.x + (x * r.w + r.w / 2) / screen_width, r.y + (y * r.h + r.h / 2) / screen_height);
}

void sdl_platform::pump_events() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN: {
                const SDL_Keysym& k = e.key.keysym;
                if ((k.sym == SDLK_RETURN || k.sym == SDLK_KP_ENTER) && (k.mod & KMOD_ALT)) {
                    if (!e.key.repeat) set_full_screen(!full_screen_);
                    break;
                }
                if (k.scancode == SDL_SCANCODE_F12 && !e.key.repeat && shown_any_ && on_screenshot_)
                    on_screenshot_(shown_pixels_.data(), shown_palette_);
                report_key(pc_scan_code(k.scancode), true);
                if (const int code = extended_code(k.sym); code != 0)
                    queue_key_press(std::string("\xff") + static_cast<char>(code));
                else if (const int c = control_character(k.sym); c != 0)
                    queue_key_press(std::string(1, static_cast<char>(c)));
                break;
            }
            case SDL_KEYUP: report_key(pc_scan_code(e.key.keysym.scancode), false); break;
            case SDL_TEXTINPUT: queue_typed_text(e.text.text); break;
            case SDL_MOUSEMOTION: report_pointer_at(e.motion.x, e.motion.y); break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const int bit = e.button.button == SDL_BUTTON_LEFT     ? 0
                                : e.button.button == SDL_BUTTON_RIGHT  ? 1
                                : e.button.button == SDL_BUTTON_MIDDLE ? 2
                                                                       : -1;
                if (bit >= 0) report_mouse_button(bit, e.type == SDL_MOUSEBUTTONDOWN);
                break;
            }
            case SDL_MOUSEWHEEL:
                report_wheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y);
                break;
            case SDL_WINDOWEVENT: handle_window_event(e.window); break;
            default: break;
        }
    }
}

void sdl_platform::handle_window_event(const SDL_WindowEvent& e) {
    switch (e.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED: report_focus(true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: report_focus(false); break;
        case SDL_WINDOWEVENT_ENTER: {
            int x = 0, y = 0;
            SDL_GetMouseState(&x, &y);
            report_pointer_at(x, y);
            break;
        }
        case SDL_WINDOWEVENT_LEAVE: report_pointer_left(); break;
        case SDL_WINDOWEVENT_CLOSE: queue_key_press(std::string("\xff") + static_cast<char>(ext_close_button)); break;
        case SDL_WINDOWEVENT_MAXIMIZED:
            SDL_RestoreWindow(window_);
            set_full_screen(true);
            break;
        case SDL_WINDOWEVENT_MINIMIZED:
            minimised_ = true;
            report_minimised();
            break;
        case SDL_WINDOWEVENT_RESTORED:
            minimised_ = false;
            draw();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The picture follows the window. Full screen and maximised are
            // not sizes to return to from full screen.
            if (!full_screen_ &&
                (SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED)) == 0) {
                windowed_width_ = e.data1;
                windowed_height_ = e.data2;
            }
            draw();
            break;
        case SDL_WINDOWEVENT_EXPOSED: draw(); break;
        default: break;
    }
}

}  // namespace

std::unique_ptr<platform> make_sdl_platform(const std::string& title, screenshot_handler on_screenshot) {
    return std::make_unique<sdl_platform>(title, std::move(on_screenshot));
}
