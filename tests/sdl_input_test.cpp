// The windowed programs' reading of SDL's events, checked event by event.
#include "present/sdl_input.h"

#include <gtest/gtest.h>

#include <cstring>

#include "present/keys.h"

namespace {

using kind = input_report::kind;
const picture_place one_to_one{0, 0, 640, 480};

SDL_Event key_event(bool down, SDL_Scancode scancode, SDL_Keycode sym) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = sym;
    return e;
}

// What a key press tells the game: its scan code (0 if none) and what inkey gets.
std::pair<int, std::string> read_key(SDL_Scancode scancode, SDL_Keycode sym) {
    int code = 0;
    std::string press;
    for (const input_report& r : map_sdl_input(key_event(true, scancode, sym), one_to_one, {})) {
        if (r.what == kind::key && r.on) code = r.code;
        if (r.what == kind::press) press = r.text;
    }
    return {code, press};
}

TEST(SdlInput, KeysBecomeScanCodesAndPresses) {
    EXPECT_EQ(read_key(SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), std::pair(int{scan_escape}, escape_key));
    EXPECT_EQ(read_key(SDL_SCANCODE_LEFT, SDLK_LEFT), std::pair(int{scan_left}, extended_press(ext_left)));
    EXPECT_EQ(read_key(SDL_SCANCODE_KP_8, SDLK_KP_8).first, scan_up) << "the keypad's arrows count as arrows";
    EXPECT_EQ(read_key(SDL_SCANCODE_RCTRL, SDLK_RCTRL), std::pair(int{scan_ctrl}, std::string{}));
    EXPECT_EQ(read_key(SDL_SCANCODE_F10, SDLK_F10), std::pair(scan_f1 + 9, extended_press(ext_f1 + 9)));
    EXPECT_EQ(read_key(SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER), std::pair(int{scan_enter}, enter_key));
    // Letters by their place on the keyboard rows; their characters come as text.
    EXPECT_EQ(read_key(SDL_SCANCODE_Y, SDLK_y), std::pair(find_script_key("y")->scan_code, std::string{}));
    EXPECT_EQ(read_key(SDL_SCANCODE_0, SDLK_0).first, scan_0);
    const auto up = map_sdl_input(key_event(false, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE), one_to_one, {});
    ASSERT_EQ(up.size(), 1u);
    EXPECT_TRUE(up[0].what == kind::key && up[0].code == scan_escape && !up[0].on) << "a release queues nothing";
}

TEST(SdlInput, ButtonsWheelAndTypedText) {
    for (const auto& [button, bit] :
         {std::pair{SDL_BUTTON_LEFT, 0}, std::pair{SDL_BUTTON_RIGHT, 1}, std::pair{SDL_BUTTON_MIDDLE, 2}}) {
        SDL_Event e{};
        e.type = SDL_MOUSEBUTTONDOWN;
        e.button.button = static_cast<Uint8>(button);
        const auto reports = map_sdl_input(e, one_to_one, {});
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].code, bit) << "button " << button;
        EXPECT_TRUE(reports[0].on);
    }
    SDL_Event side{};
    side.type = SDL_MOUSEBUTTONDOWN;
    side.button.button = SDL_BUTTON_X1;
    EXPECT_TRUE(map_sdl_input(side, one_to_one, {}).empty()) << "the game has no use for side buttons";

    SDL_Event wheel{};
    wheel.type = SDL_MOUSEWHEEL;
    wheel.wheel.y = 2;
    wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(map_sdl_input(wheel, one_to_one, {})[0].code, -2) << "a flipped wheel turns back";

    SDL_Event text{};
    text.type = SDL_TEXTINPUT;
    std::strcpy(text.text.text, "a\xC3\xA9\xE2\x82\xAC");  // a, e acute, the euro sign
    const auto presses = map_sdl_input(text, one_to_one, {});
    ASSERT_EQ(presses.size(), 2u) << "code page 437 has no euro sign";
    EXPECT_EQ(presses[0].text, "a");
    EXPECT_EQ(presses[1].text, std::string(1, static_cast<char>(130)));
}

TEST(SdlInput, ThePointerLandsOnThePictureAndTheBarsBelongToItsEdges) {
    const picture_place doubled{100, 50, 1280, 960};
    const auto at = [&](int x, int y) {
        SDL_Event e{};
        e.type = SDL_MOUSEMOTION;
        e.motion.x = x;
        e.motion.y = y;
        const auto reports = map_sdl_input(e, doubled, {});
        return reports.empty() ? std::pair{-1, -1} : std::pair{reports[0].x, reports[0].y};
    };
    EXPECT_EQ(at(100, 50), std::pair(0, 0));
    EXPECT_EQ(at(101 + 2 * 320, 51 + 2 * 240), std::pair(320, 240));
    EXPECT_EQ(at(1379, 1009), std::pair(639, 479));
    EXPECT_EQ(at(10, 1200), std::pair(0, 479)) << "over a bar, the nearest edge";
}

TEST(SdlInput, TheWindowsFocusLeavingClosingAndMinimising) {
    const auto window = [](Uint8 what, SDL_Point pointer = {}) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        return map_sdl_input(e, one_to_one, pointer);
    };
    EXPECT_FALSE(window(SDL_WINDOWEVENT_FOCUS_LOST)[0].on);
    EXPECT_TRUE(window(SDL_WINDOWEVENT_FOCUS_GAINED)[0].on);
    EXPECT_EQ(window(SDL_WINDOWEVENT_FOCUS_LOST)[0].what, kind::focus);
    EXPECT_EQ(window(SDL_WINDOWEVENT_LEAVE)[0].what, kind::pointer_left);
    const auto entered = window(SDL_WINDOWEVENT_ENTER, {30, 40});
    EXPECT_TRUE(entered[0].what == kind::pointer && entered[0].x == 30 && entered[0].y == 40);
    EXPECT_EQ(window(SDL_WINDOWEVENT_CLOSE)[0].text, close_button_key);
    EXPECT_EQ(window(SDL_WINDOWEVENT_MINIMIZED)[0].what, kind::minimised);
    EXPECT_TRUE(window(SDL_WINDOWEVENT_RESIZED).empty()) << "the window's own business";
}

}  // namespace
