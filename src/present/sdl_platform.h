#pragma once
// The real display: a window or full screen through SDL2.
#include <memory>
#include <string>

#include "present/platform.h"

// title: the window's title, the program's file name without extension.
std::unique_ptr<platform> make_sdl_platform(const std::string& title);
