#include "present/sdl_platform.h"

#include <SDL.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "present/argb_conversion.h"
#include "present/input_events.h"
#include "present/input_recording.h"
#include "present/page_history.h"
#include "present/quiet_stderr.h"
#include "present/replay_overlay.h"
#include "present/screen.h"
#include "present/sdl_host.h"
#include "present/sdl_input.h"
#include "present/sdl_pad.h"
#include "present/volume_overlay.h"
#include "present/window_icon.h"

namespace {

// The smallest window the player can drag it to.
constexpr int smallest_window_width = screen_width / 2;
constexpr int smallest_window_height = screen_height / 2;
// How long a minimised game sleeps at a time while nothing happens.
constexpr int minimised_wait_ms = 100;
// How long Escape is held to end a replay.
constexpr std::uint64_t replay_end_hold_ms = 1000;
// How long the settings must stay as they are before they are told (a window
// being dragged changes its size many times a second).
constexpr std::uint64_t settings_settle_ms = 500;

// The keys the window keeps for the volume, not the game's: without Ctrl or
// the system key, so that shortcuts stay the desktop's. Alt does not count:
// after Alt+F4 under some window systems it stays down for SDL.
std::optional<volume_key> volume_key_of(const SDL_Keysym& k) {
    if (k.mod & (KMOD_CTRL | KMOD_GUI)) return std::nullopt;
    switch (k.sym) {
        case SDLK_m: return volume_key::mute;
        case SDLK_MINUS:
        case SDLK_KP_MINUS: return volume_key::quieter;
        case SDLK_PLUS:
        case SDLK_EQUALS:
        case SDLK_KP_PLUS: return volume_key::louder;
        default: return std::nullopt;
    }
}

// Set by a signal handler: the exit code the program is asked to stop with.
volatile std::sig_atomic_t stop_code = 0;
void stop_if_asked() {
    if (stop_code != 0) throw program_stopped{stop_code};
}

class sdl_platform final : public platform {
public:
    explicit sdl_platform(sdl_window_setup setup)
        : title_(std::move(setup.title)),
          on_screenshot_(std::move(setup.on_screenshot)),
          settings_(setup.settings),
          on_settings_changed_(std::move(setup.on_settings_changed)),
          shown_pixels_(static_cast<std::size_t>(screen_width) * screen_height),
          windowed_width_(std::max(settings_.window_width, smallest_window_width)),
          windowed_height_(std::max(settings_.window_height, smallest_window_height)) {
        if (setup.replay) replay_.emplace(std::move(*setup.replay));
        timeline_ = std::move(setup.timeline);
        on_catch_up_ = std::move(setup.on_catch_up);
    }
    ~sdl_platform() override {
        tell_settings(true);
        if (overlay_) SDL_DestroyTexture(overlay_);
        if (replay_strip_) SDL_DestroyTexture(replay_strip_);
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
    std::uint64_t now_ms() override {
        // Catching up, no time passes for the game: the clock is not looked at.
        if (catch_up_to_) return static_cast<std::uint64_t>(replay_clock_);
        return replay_ ? replay_clock_ms() : SDL_GetTicks64();
    }
    std::uint64_t virtual_ms() override { return virtual_ms_; }
    void sleep_begins(int ms) override;
    void sleep_ends() override { time_passing_ = false; }
    std::uint64_t wake_time(int ms) override;
    void wait_ms(int ms) override;
    int longest_wait_ms() const override { return longest_sdl_wait_ms(); }
    void title_shown() override {
        title_on_show_ = true;
        tell_host_title_shown();
    }
    void title_left() override { title_on_show_ = false; }
    void idle() override;
    void warp_pointer(int x, int y) override;
    void show_pointer(bool shown) override { SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE); }
    void confine_pointer(bool confined) override { SDL_SetWindowGrab(window_, confined ? SDL_TRUE : SDL_FALSE); }

private:
    bool create_window(bool full_screen);
    void set_full_screen(bool full_screen);
    void draw();
    SDL_Rect picture_rect_in_window() const;
    bool handled_by_window(const SDL_Event& e);
    void hand_over(const input_report& report);
    void deliver(input_report report);
    void hand_over_waiting_input();
    void watch_for_the_end_of_a_replay(const SDL_Event& e);
    void report_initial_input();
    void upload_shown_picture();
    void handle_window_event(const SDL_WindowEvent& e);
    bool handled_volume_key(const SDL_Event& e);
    void draw_overlay(const SDL_Rect& picture);
    std::uint64_t replay_clock_ms();
    bool handled_replay_key(const SDL_Event& e);
    void jump_to(std::uint64_t ms);
    void catch_up_step();
    void draw_replay_strip(const SDL_Rect& picture);
    void tell_replay_position(std::optional<std::uint64_t> jumped_in_ms = std::nullopt) const;
    void settings_changed();
    void tell_settings(bool now);

    std::string title_;
    screenshot_handler on_screenshot_;
    window_settings settings_;
    settings_handler on_settings_changed_;
    // Settings changed and not yet told, since when.
    std::optional<std::uint64_t> settings_changed_since_;
    // The volume note, and until when it shows; a volume key's typed text
    // that follows it is the window's too.
    SDL_Texture* overlay_ = nullptr;
    std::optional<std::uint64_t> overlay_until_;
    bool swallow_typed_text_ = false;
    sdl_pads pads_;
    bool title_on_show_ = false;
    // The picture last shown, for screenshots.
    std::vector<std::uint8_t> shown_pixels_;
    rgb shown_palette_[256] = {};
    bool shown_any_ = false;
    struct {
        const std::uint8_t* pixels = nullptr;
        const rgb* palette = nullptr;
    } caught_up_picture_;
    bool minimised_ = false;
    int windowed_width_;
    int windowed_height_;
    std::string failure_;
    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* frame_ = nullptr;     // the screen, 640x480
    SDL_Texture* upscaled_ = nullptr;  // the screen enlarged by a whole factor
    int upscale_factor_ = 0;
    bool full_screen_ = false;

    // The game's clock, and the input that arrived while no time passed: it
    // is handed to the game when time passes next, so that a recording replays
    // at the same moments.
    std::uint64_t virtual_ms_ = 0;
    bool time_passing_ = false;
    // Where the last sleep ended on the wall clock.
    std::uint64_t last_wake_ms_ = 0;
    std::vector<input_report> waiting_input_;
    // A replay's events, and when the player began holding Escape to end it.
    std::optional<script_player> replay_;
    std::optional<std::uint64_t> escape_held_since_;
    // The watcher's controls: the replay's clock runs at its speed and stands
    // still while paused; the game time since which the picture shows.
    std::optional<replay_timeline> timeline_;
    std::function<void(bool)> on_catch_up_;
    bool paused_ = false;
    int speed_ = 1;
    double replay_clock_ = 0;
    std::uint64_t replay_clock_read_at_ = 0;
    std::uint64_t picture_ms_ = 0;
    // A jump being caught up to, and how it draws.
    std::optional<std::uint64_t> catch_up_to_;
    redrawing redrawing_{};
    std::uint64_t jump_began_ms_ = 0;  // on the wall clock
    SDL_Texture* replay_strip_ = nullptr;
    std::optional<std::uint64_t> replay_strip_until_;
};

bool sdl_platform::open_display(bool full_screen) {
    // A replay started again after a jump goes on in the window it has.
    if (window_ != nullptr) {
        report_initial_input();
        return true;
    }
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window class is the desktop entry's name, so that docks and task
    // bars show the game's icon and group its windows under its entry.
    // SDL reads these from the environment; a player's own setting wins.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", KORVANE_APP_ID, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", KORVANE_APP_ID, 0);
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
    pads_.start();
    SDL_StartTextInput();
    report_initial_input();
    return true;
}

// Where the pointer and the focus are as the game begins; a recording starts
// from them. A replay starts where korvane-headless starts every script (the
// pointer at the top left, with the focus), whatever the real window has:
// a recording made there says nothing of it.
void sdl_platform::report_initial_input() {
    if (replay_) {
        report_pointer_position(0, 0);
        report_focus(true);
        return;
    }
    SDL_PumpEvents();
    SDL_Point pointer{0, 0};
    SDL_GetMouseState(&pointer.x, &pointer.y);
    const SDL_Rect r = picture_rect_in_window();
    if (SDL_GetMouseFocus() == window_) {
        SDL_Event enter{};
        enter.type = SDL_WINDOWEVENT;
        enter.window.event = SDL_WINDOWEVENT_ENTER;
        for (const input_report& report : map_sdl_input(enter, {r.x, r.y, r.w, r.h}, pointer)) hand_over(report);
    } else {
        report_pointer_left();
    }
    report_focus(SDL_GetKeyboardFocus() == window_);
}

bool sdl_platform::create_window(bool full_screen) {
    // Hidden until it can draw: making the renderer may replace the window,
    // and the player should see one window appear, not two.
    Uint32 flags = SDL_WINDOW_ALLOW_HIGHDPI | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN;
    if (full_screen) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window_ = SDL_CreateWindow(title_.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowed_width_,
                               windowed_height_, flags);
    if (window_ == nullptr) {
        failure_ = std::string("cannot open a window: ") + SDL_GetError();
        return false;
    }
    if (SDL_Surface* icon =
            SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(window_icon_pixels), window_icon_size,
                                               window_icon_size, 32, window_icon_size * 4, SDL_PIXELFORMAT_ARGB8888)) {
        SDL_SetWindowIcon(window_, icon);
        SDL_FreeSurface(icon);
    }
    SDL_SetWindowMinimumSize(window_, smallest_window_width, smallest_window_height);
    // In step with the display, the picture never tears; the game's own pace
    // comes from its sleeps either way.
    const Uint32 vsync = settings_.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE | vsync);
    if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | vsync);
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
    settings_.full_screen = full_screen;
    settings_changed();
    draw();
}

void sdl_platform::settings_changed() { settings_changed_since_ = SDL_GetTicks64(); }

// Tells the changed settings once they have settled, or now.
void sdl_platform::tell_settings(bool now) {
    if (!settings_changed_since_ || !on_settings_changed_) return;
    if (!now && SDL_GetTicks64() - *settings_changed_since_ < settings_settle_ms) return;
    settings_changed_since_.reset();
    on_settings_changed_(settings_);
}

void sdl_platform::sleep_begins(int ms) {
    picture_ms_ = virtual_ms_;
    virtual_ms_ += static_cast<std::uint64_t>(ms);
    time_passing_ = true;
    hand_over_waiting_input();
    catch_up_step();
}

// Sleeps end on a grid of the wall clock, so that the work and the display
// between them do not lengthen the frames: play keeps its 25 frames a second.
// A sleep that begins more than its own length late starts the grid anew.
std::uint64_t sdl_platform::wake_time(int ms) {
    if (catch_up_to_) return 0;  // no time passes while catching up
    const std::uint64_t now = now_ms();
    const auto length = static_cast<std::uint64_t>(ms);
    if (now > last_wake_ms_ + length) last_wake_ms_ = now;
    last_wake_ms_ += length;
    return last_wake_ms_;
}

void sdl_platform::idle() {
    // A game waiting for input without sleeping: what has arrived reaches it
    // now, and a replay moves on to its next event, as korvane-headless does.
    hand_over_waiting_input();
    // Paused, it waits where it is.
    if (replay_ && !replay_->finished() && !(paused_ && !catch_up_to_)) {
        picture_ms_ = virtual_ms_;
        virtual_ms_ = std::max(virtual_ms_, replay_->next_ms());
        replay_->hand_over_due(virtual_ms_);
        catch_up_step();
    }
    wait_ms(1);
}

void sdl_platform::hand_over_waiting_input() {
    for (const input_report& report : waiting_input_) hand_over(report);
    waiting_input_.clear();
}

// Input reaches the game while time passes; what comes between is kept until then.
void sdl_platform::deliver(input_report report) {
    if (time_passing_)
        hand_over(report);
    else
        waiting_input_.push_back(std::move(report));
}

void sdl_platform::hand_over(const input_report& report) {
    switch (report.what) {
        case input_report::kind::key: report_key(report.code, report.on); break;
        case input_report::kind::press: queue_key_press(report.text); break;
        case input_report::kind::button: report_mouse_button(report.code, report.on); break;
        case input_report::kind::pointer: report_pointer_position(report.x, report.y); break;
        case input_report::kind::pointer_left: report_pointer_left(); break;
        case input_report::kind::wheel: report_wheel(report.code); break;
        case input_report::kind::focus: report_focus(report.on); break;
        case input_report::kind::minimised: report_minimised(); break;
    }
}

// In a replay the player's input does not reach the game; Escape held for a
// second or the close button ends the replay.
void sdl_platform::watch_for_the_end_of_a_replay(const SDL_Event& e) {
    if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) throw replay_ended{};
    if ((e.type == SDL_KEYDOWN || e.type == SDL_KEYUP) && e.key.keysym.scancode == SDL_SCANCODE_ESCAPE) {
        if (e.type == SDL_KEYUP)
            escape_held_since_.reset();
        else if (!escape_held_since_)
            escape_held_since_ = SDL_GetTicks64();
    }
}

void sdl_platform::wait_ms(int ms) {
    stop_if_asked();
    if (catch_up_to_) return;
    // A replay's time passes at its speed; paused, the game keeps looking at the input.
    if (replay_ && !paused_) ms = (std::max(ms, 0) + speed_ - 1) / speed_;
    // Minimised, nobody sees the game: sleep until something happens instead
    // of polling at the game's pace.
    if (minimised_)
        SDL_WaitEventTimeout(nullptr, minimised_wait_ms);
    else
        SDL_Delay(static_cast<Uint32>(std::max(ms, 0)));
}

void sdl_platform::present(const std::uint8_t* pixels, const rgb* palette) {
    // Catching up, only the last picture counts, taken when it is reached:
    // the screen's pages hold it until the game goes on.
    if (catch_up_to_) {
        caught_up_picture_ = {pixels, palette};
        return;
    }
    // Only a new picture is shown: the title screen shows the same one for
    // a second at a time, and a frame of play is shown once.
    const std::size_t page_bytes = shown_pixels_.size();
    if (shown_any_ && std::memcmp(pixels, shown_pixels_.data(), page_bytes) == 0 &&
        std::memcmp(palette, shown_palette_, sizeof shown_palette_) == 0)
        return;
    std::memcpy(shown_pixels_.data(), pixels, page_bytes);
    std::memcpy(shown_palette_, palette, sizeof shown_palette_);
    shown_any_ = true;
    if (minimised_) return;  // shown when the window comes back
    upload_shown_picture();
    draw();
}

void sdl_platform::upload_shown_picture() {
    void* out = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(frame_, nullptr, &out, &pitch) != 0) return;
    convert_to_argb(shown_pixels_.data(), shown_palette_, static_cast<std::uint8_t*>(out),
                    static_cast<std::size_t>(pitch));
    SDL_UnlockTexture(frame_);
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
    if (overlay_until_) draw_overlay(dest);
    if (replay_strip_until_) draw_replay_strip(dest);
    SDL_RenderPresent(renderer_);
}

// The volume note at the picture's top left, enlarged with it.
void sdl_platform::draw_overlay(const SDL_Rect& picture) {
    if (overlay_ == nullptr) {
        overlay_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                     volume_overlay_width, volume_overlay_height);
        if (overlay_ == nullptr) return;
        SDL_SetTextureBlendMode(overlay_, SDL_BLENDMODE_BLEND);
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(volume_overlay_width) * volume_overlay_height);
    draw_volume_overlay(settings_, pixels.data());
    SDL_UpdateTexture(overlay_, nullptr, pixels.data(), volume_overlay_width * 4);
    const int scale = std::max(1, picture.w / screen_width);
    const SDL_Rect at{picture.x + 8 * scale, picture.y + 8 * scale, volume_overlay_width * scale,
                      volume_overlay_height * scale};
    SDL_RenderCopy(renderer_, overlay_, nullptr, &at);
}

std::uint64_t sdl_platform::replay_clock_ms() {
    const std::uint64_t real = SDL_GetTicks64();
    if (!paused_) replay_clock_ += static_cast<double>(real - replay_clock_read_at_) * speed_;
    replay_clock_read_at_ = real;
    return static_cast<std::uint64_t>(replay_clock_);
}

std::optional<replay_key> replay_key_of(const SDL_Event& e) {
    if (e.type != SDL_KEYDOWN || e.key.repeat) return std::nullopt;
    switch (e.key.keysym.scancode) {
        case SDL_SCANCODE_SPACE: return replay_key::pause;
        case SDL_SCANCODE_RIGHT: return replay_key::forward;
        case SDL_SCANCODE_LEFT: return replay_key::back;
        case SDL_SCANCODE_UP: return replay_key::faster;
        case SDL_SCANCODE_DOWN: return replay_key::slower;
        case SDL_SCANCODE_PAGEDOWN: return replay_key::next_game;
        case SDL_SCANCODE_PAGEUP: return replay_key::previous_game;
        case SDL_SCANCODE_HOME: return replay_key::restart;
        default: return std::nullopt;
    }
}

// The watcher's controls; the strip shows what they did.
bool sdl_platform::handled_replay_key(const SDL_Event& e) {
    const std::optional<replay_key> key = replay_key_of(e);
    if (!key) return false;
    replay_clock_ms();  // the time played so far at the old speed
    replay_strip_until_ = SDL_GetTicks64() + replay_overlay_ms;
    constexpr std::uint64_t step_ms = 10'000;
    switch (*key) {
        case replay_key::pause:
            paused_ = !paused_;
            // Paused in a sleep, the picture on show stays: the sleep does not end.
            if (paused_ && time_passing_ && last_wake_ms_ > 0 && replay_clock_ >= static_cast<double>(last_wake_ms_))
                replay_clock_ = static_cast<double>(last_wake_ms_) - 1;
            tell_replay_position();
            break;
        case replay_key::faster:
            speed_ = std::min(speed_ * 2, 8);
            tell_replay_position();
            break;
        case replay_key::slower:
            speed_ = std::max(speed_ / 2, 1);
            tell_replay_position();
            break;
        case replay_key::forward: jump_to(picture_ms_ + step_ms); break;
        case replay_key::back: jump_to(picture_ms_ > step_ms ? picture_ms_ - step_ms : 0); break;
        case replay_key::next_game:
            if (timeline_) jump_to(timeline_->next_game_start(picture_ms_));
            break;
        case replay_key::previous_game:
            if (timeline_) jump_to(timeline_->previous_game_start(picture_ms_));
            break;
        case replay_key::restart: jump_to(0); break;
    }
    draw();
    return true;
}

// The game starts again and plays without drawing, as fast as it can, up to
// the moment; it draws from where the pages need it (page_history.h).
void sdl_platform::jump_to(std::uint64_t ms) {
    // A recording being made of the replay cannot go back in time.
    if (!timeline_ || timeline_->length_ms() == 0 || recording_input()) return;
    ms = std::min(ms, timeline_->length_ms() - 1);
    redrawing_ = timeline_->draw_from(ms, current_page_marks());
    catch_up_to_ = ms;
    jump_began_ms_ = SDL_GetTicks64();
    if (on_catch_up_) on_catch_up_(true);
    virtual_ms_ = picture_ms_ = 0;
    time_passing_ = false;
    waiting_input_.clear();
    replay_->restart();
    set_drawing(redrawing_.from_ms == 0);
    keep_pixels_at_next_open();
    throw replay_jumped{};
}

void sdl_platform::catch_up_step() {
    if (!catch_up_to_) return;
    if (!drawing() && virtual_ms_ >= redrawing_.from_ms) set_drawing(true);
    // This sleep spans the moment: the picture presented before it is the one.
    if (virtual_ms_ <= *catch_up_to_) return;
    catch_up_to_.reset();
    set_drawing(true);
    forget_pages(redrawing_.forgotten);
    if (on_catch_up_) on_catch_up_(false);
    last_wake_ms_ = now_ms();
    if (caught_up_picture_.pixels != nullptr) {
        std::memcpy(shown_pixels_.data(), caught_up_picture_.pixels, shown_pixels_.size());
        std::memcpy(shown_palette_, caught_up_picture_.palette, sizeof shown_palette_);
        shown_any_ = true;
        caught_up_picture_ = {};
    }
    if (shown_any_) upload_shown_picture();
    draw();
    tell_replay_position(SDL_GetTicks64() - jump_began_ms_);
}

// Where the replay is, on standard output, for scripts around the game (and
// the tests): the game time since which the picture on show shows.
void sdl_platform::tell_replay_position(std::optional<std::uint64_t> jumped_in_ms) const {
    std::printf("replay: at %llu ms, ", static_cast<unsigned long long>(picture_ms_));
    paused_ ? std::printf("paused") : std::printf("%dx", speed_);
    if (jumped_in_ms) std::printf(", jumped in %llu ms", static_cast<unsigned long long>(*jumped_in_ms));
    std::printf("\n");
    std::fflush(stdout);
}

// The strip along the picture's foot, enlarged with it.
void sdl_platform::draw_replay_strip(const SDL_Rect& picture) {
    if (replay_strip_ == nullptr) {
        replay_strip_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                          replay_overlay_width, replay_overlay_height);
        if (replay_strip_ == nullptr) return;
    }
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(replay_overlay_width) * replay_overlay_height);
    draw_replay_overlay({picture_ms_, timeline_ ? timeline_->length_ms() : 0, speed_, paused_}, pixels.data());
    SDL_UpdateTexture(replay_strip_, nullptr, pixels.data(), replay_overlay_width * 4);
    const int height = picture.h * replay_overlay_height / screen_height;
    const SDL_Rect at{picture.x, picture.y + picture.h - height, picture.w, height};
    SDL_RenderCopy(renderer_, replay_strip_, nullptr, &at);
}

// M, - and + set the volume, whatever the game is doing, and none of them
// reaches it: not as a held key, nor as a press.
bool sdl_platform::handled_volume_key(const SDL_Event& e) {
    if (e.type == SDL_TEXTINPUT && swallow_typed_text_) {
        swallow_typed_text_ = false;
        return true;
    }
    if (e.type != SDL_KEYDOWN && e.type != SDL_KEYUP) return false;
    const std::optional<volume_key> key = volume_key_of(e.key.keysym);
    swallow_typed_text_ = key.has_value() && e.type == SDL_KEYDOWN;
    if (!key) return false;
    if (e.type == SDL_KEYDOWN) {
        apply_volume_key(*key, settings_);
        settings_changed();
        tell_settings(true);  // heard at once
        overlay_until_ = SDL_GetTicks64() + volume_overlay_ms;
        draw();
    }
    return true;
}

SDL_Rect sdl_platform::picture_rect_in_window() const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return picture_rect(w, h);
}

void sdl_platform::warp_pointer(int x, int y) {
    const SDL_Rect r = picture_rect_in_window();
    SDL_WarpMouseInWindow(window_, r.x + (x * r.w + r.w / 2) / screen_width, r.y + (y * r.h + r.h / 2) / screen_height);
}

void sdl_platform::pump_events() {
    stop_if_asked();
    // Catching up takes a moment; the window looks at its events after it.
    if (catch_up_to_) {
        replay_->hand_over_due(virtual_ms_);
        return;
    }
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        if (handled_volume_key(e) || handled_by_window(e)) continue;
        std::vector<input_report> from_pad;
        if (pads_.handle(e, title_on_show_, from_pad)) {
            if (!replay_)
                for (input_report& report : from_pad) deliver(std::move(report));
            continue;
        }
        if (replay_) {
            if (!handled_replay_key(e)) watch_for_the_end_of_a_replay(e);
            continue;
        }
        SDL_Point pointer{0, 0};
        if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_ENTER)
            SDL_GetMouseState(&pointer.x, &pointer.y);
        const SDL_Rect r = picture_rect_in_window();
        for (input_report& report : map_sdl_input(e, {r.x, r.y, r.w, r.h}, pointer)) {
            // The last to move the cursor moves it: a pad goes on from where the mouse left it.
            if (report.what == input_report::kind::pointer) pads_.follow_pointer(report.x, report.y);
            deliver(std::move(report));
        }
    }
    std::vector<input_report> from_sticks;
    pads_.move(SDL_GetTicks64(), settings_, from_sticks);
    if (!replay_)
        for (input_report& report : from_sticks) deliver(std::move(report));
    // The note goes once its time is over, whether or not the game shows a new picture.
    if (overlay_until_ && SDL_GetTicks64() >= *overlay_until_) {
        overlay_until_.reset();
        draw();
    }
    if (replay_strip_until_ && SDL_GetTicks64() >= *replay_strip_until_) {
        replay_strip_until_.reset();
        draw();
    }
    tell_settings(false);
    if (replay_) {
        if (escape_held_since_ && SDL_GetTicks64() - *escape_held_since_ >= replay_end_hold_ms) throw replay_ended{};
        replay_->hand_over_due(virtual_ms_);
        // Over, as a headless run of it would be.
        if (replay_->finished() && virtual_ms_ >= replay_->last_ms() + script_tail_ms) throw replay_ended{};
    }
}

// What the window itself answers: Alt+Enter, F12 and changes of its size and
// state. False when the event is the game's input (or partly: minimising is both).
bool sdl_platform::handled_by_window(const SDL_Event& e) {
    if (e.type == SDL_KEYDOWN) {
        const SDL_Keysym& k = e.key.keysym;
        if ((k.sym == SDLK_RETURN || k.sym == SDLK_KP_ENTER) && (k.mod & KMOD_ALT)) {
            if (!e.key.repeat) set_full_screen(!full_screen_);
            return true;
        }
        if (k.scancode == SDL_SCANCODE_F12 && !e.key.repeat && shown_any_ && on_screenshot_)
            on_screenshot_(shown_pixels_.data(), shown_palette_);
        return false;
    }
    if (e.type != SDL_WINDOWEVENT) return false;
    handle_window_event(e.window);
    return false;
}

void sdl_platform::handle_window_event(const SDL_WindowEvent& e) {
    switch (e.event) {
        case SDL_WINDOWEVENT_MAXIMIZED:
            SDL_RestoreWindow(window_);
            set_full_screen(true);
            break;
        case SDL_WINDOWEVENT_MINIMIZED: minimised_ = true; break;
        case SDL_WINDOWEVENT_RESTORED:
            minimised_ = false;
            if (shown_any_) upload_shown_picture();
            draw();
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            // The picture follows the window. Full screen and maximised are
            // not sizes to return to from full screen.
            if (!full_screen_ &&
                (SDL_GetWindowFlags(window_) & (SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_MAXIMIZED)) == 0 &&
                (e.data1 != windowed_width_ || e.data2 != windowed_height_)) {
                windowed_width_ = settings_.window_width = e.data1;
                windowed_height_ = settings_.window_height = e.data2;
                settings_changed();
            }
            draw();
            break;
        case SDL_WINDOWEVENT_EXPOSED: draw(); break;
        default: break;
    }
}

}  // namespace

void stop_sdl_platform(int exit_code) { stop_code = exit_code; }

std::unique_ptr<platform> make_sdl_platform(sdl_window_setup setup) {
    // SDL ends last, at exit: registered before the sound's own exit handler,
    // so that it runs after it.
    [[maybe_unused]] static const bool quits_at_exit = std::atexit(SDL_Quit) == 0;
    return std::make_unique<sdl_platform>(std::move(setup));
}
