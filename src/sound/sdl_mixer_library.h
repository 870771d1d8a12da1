#pragma once
// The windowed programs' sound: SDL_mixer, opened once, 64 channels.
#include "sound/sound_library.h"

sound_library& sdl_mixer_library();
