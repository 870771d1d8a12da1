#include "programs/sdl_main.h"

#include <SDL.h>

#include <cstdlib>
#include <string>

#include "flow/flow.h"
#include "present/sdl_platform.h"
#include "programs/screenshot.h"
#include "programs/usage.h"
#include "sound/sdl_mixer_library.h"

namespace {

// The window's title: the program's file name without folder or extension.
std::string program_title(const char* path) {
    std::string name = path != nullptr ? path : "korvane";
    if (const auto slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
    if (const auto dot = name.find_last_of('.'); dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
}

}  // namespace

int run_on_sdl(int argc, char** argv, bool full_screen) {
    if (answer_help_or_version(argc, argv)) return 0;
    // Registered before the sound's own exit handler, so it runs after it.
    std::atexit(SDL_Quit);
    auto display = make_sdl_platform(program_title(argc > 0 ? argv[0] : nullptr),
                                     [](const std::uint8_t* pixels, const rgb* palette) { save_screenshot(pixels, palette); });
    install_platform(display.get());
    use_sound_library(&sdl_mixer_library());
    const int exit_code = run_program(argc, argv, full_screen);
    install_platform(nullptr);
    return exit_code;
}
