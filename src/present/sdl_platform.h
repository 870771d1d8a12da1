#pragma once
// The real display: a window or full screen through SDL2.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "present/platform.h"

// Called when the player asks for a screenshot (F12), with the 640x480
// picture on show and its palette.
using screenshot_handler = std::function<void(const std::uint8_t* pixels, const rgb* palette)>;

// title: the window's title, the program's file name without extension.
std::unique_ptr<platform> make_sdl_platform(const std::string& title, screenshot_handler on_screenshot);
