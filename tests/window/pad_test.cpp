// A game controller in the real window: SDL's virtual joystick, plugged in
// while the title shows, plays a game through the windowed game's own SDL
// platform, run in this process under a virtual X server. What the pad does
// reaches the game as mouse and keys, so the recording of the game says it.
#include <SDL.h>
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "../headless_run.h"
#include "flow/flow.h"
#include "present/sdl_platform.h"
#include "programs/recordings.h"
#include "x_session.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

#ifdef KORVANE_SANITIZED
// The leak check at exit sees what the system's libraries keep, as for the
// windowed game in the other window tests (window/lsan_system_libraries.supp):
// libdbus's buffer, and the GL driver's memory, which it can only tell from a
// leak while the driver is loaded; SDL unloads it with the window, unless it
// is held open here.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }
#ifdef KORVANE_GL_DRIVER
[[maybe_unused]] void* const held_gl_driver = dlopen(KORVANE_GL_DRIVER, RTLD_NOW | RTLD_GLOBAL);
#endif
#endif

namespace {

// The events of a kind in a recording, in order: their times and what follows the kind.
std::vector<std::pair<long long, std::string>> events(const std::string& script, const std::string& kind) {
    std::vector<std::pair<long long, std::string>> found;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        long long ms = 0;
        std::string rest;
        if (words >> ms && std::getline(words >> std::ws, rest) && rest.rfind(kind, 0) == 0)
            found.emplace_back(ms, rest.substr(kind.size()));
    }
    return found;
}

void press(SDL_Joystick* pad, SDL_GameControllerButton button) {
    SDL_JoystickSetVirtualButton(pad, button, 1);
    std::this_thread::sleep_for(120ms);
    SDL_JoystickSetVirtualButton(pad, button, 0);
}

TEST(PadWindow, TheStickAimsAStartsAGameAndFiresAndStartPauses) {
    x_session x(1280, 1024);
    setenv("DISPLAY", x.display().c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    const fs::path folder = fs::temp_directory_path() / ("korvane_pad_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* files : {"graphics", "WAV"})
        fs::create_directory_symlink(fs::path(KORVANE_GAME_DIR) / files, folder / files);
    const fs::path old_dir = fs::current_path();
    fs::current_path(folder);
    setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
    const char* words[] = {"korvane", "NOSOUND", nullptr};
    ASSERT_TRUE(start_recording("korvane", "game.script", 2, const_cast<char**>(words)));
    auto window = make_sdl_platform({.title = "korvane",
                                     .on_screenshot = {},
                                     .replay = std::nullopt,
                                     .timeline = {},
                                     .on_catch_up = {},
                                     .settings = {},
                                     .on_settings_changed = {}});
    install_platform(window.get());

    bool plugged = false;
    std::thread player([&] {
        // Once the window is up, as a player plugs a pad in at the title.
        const std::string found = x.find_window("korvane", 30s);
        if (found.empty()) return stop_sdl_platform(1);
        x.xdotool({"windowactivate", "--sync", found});
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        const int index = SDL_JoystickAttachVirtualEx(&desc);
        SDL_Joystick* pad = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
        if (pad == nullptr) return stop_sdl_platform(1);
        plugged = true;
        std::this_thread::sleep_for(1s);
        press(pad, SDL_CONTROLLER_BUTTON_START);  // on the title: a game
        std::this_thread::sleep_for(1500ms);
        press(pad, SDL_CONTROLLER_BUTTON_B);  // skips the opening
        std::this_thread::sleep_for(1500ms);
        press(pad, SDL_CONTROLLER_BUTTON_BACK);  // and the instructions
        std::this_thread::sleep_for(1500ms);
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 32767);  // full right for a second
        std::this_thread::sleep_for(1s);
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 0);
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, -32767);  // then up, held
        std::this_thread::sleep_for(300ms);
        SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTY, 0);
        press(pad, SDL_CONTROLLER_BUTTON_A);  // fires
        std::this_thread::sleep_for(1s);
        press(pad, SDL_CONTROLLER_BUTTON_START);  // in play: the dialog
        std::this_thread::sleep_for(1500ms);
        SDL_JoystickClose(pad);
        SDL_JoystickDetachVirtual(index);
        stop_sdl_platform(143);
    });
    try {
        run_program(2, const_cast<char**>(words), false);
    } catch (const program_stopped&) {
    }
    player.join();
    stop_sdl_platform(0);
    install_platform(nullptr);
    window.reset();
    ASSERT_TRUE(finish_recording("korvane", "game.script"));
    fs::current_path(old_dir);
    ASSERT_TRUE(plugged) << "no virtual pad";

    std::ifstream in(folder / "game.script");
    const std::string script{std::istreambuf_iterator<char>(in), {}};
    const auto presses = events(script, "press left"), moves = events(script, "move ");
    // Escape held over a frame, or tapped within one.
    auto escapes = events(script, "keydown esc");
    for (const auto& tap : events(script, "hold esc")) escapes.push_back(tap);
    std::sort(escapes.begin(), escapes.end());
    // Start on the title, then A in play; B, Back, then Start in play as Escape.
    ASSERT_EQ(presses.size(), 2u) << script;
    ASSERT_EQ(escapes.size(), 3u) << script;
    EXPECT_LT(presses[0].first, escapes[0].first);
    EXPECT_GT(presses[1].first, escapes[1].first);
    EXPECT_GT(escapes[2].first, presses[1].first);
    int leftmost = 640, rightmost = -1;
    for (const auto& [ms, where] : moves) {
        const int x_at = std::atoi(where.c_str());
        leftmost = std::min(leftmost, x_at);
        rightmost = std::max(rightmost, x_at);
    }
    EXPECT_GE(rightmost, 632) << "full tilt for a second crosses the picture: " << script;
    EXPECT_LE(leftmost, 330) << script;
    // At 800 pixels a second, some 32 a frame.
    EXPECT_GE(moves.size(), 12u) << "the cursor jumped instead of moving: " << script;

    // Replayed, it is a game that reached play and was paused by Start.
    const headless_result r = run_headless(script, {"nosound"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_EQ(number(r.state, "games"), 1);
    ASSERT_FALSE(r.trace.empty());
    EXPECT_LT(number(r.trace.back(), "virtual_ms"), escapes[2].first + 200) << "play went on after Start";
    EXPECT_GE(number(r.trace.back(), "player_x"), 600);
    fs::remove_all(folder);
}

}  // namespace
