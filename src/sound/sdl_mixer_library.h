#pragma once
// The windowed programs' sound: SDL_mixer, opened once, 64 channels.
#include "sound/sound_library.h"

sound_library& sdl_mixer_library();
// The player's volume over all the samples, in percent (0 mutes); kept for
// when the sound opens.
void set_sdl_sound_volume(int percent);
// Held, nothing is heard and what was playing stops: for a replay catching up
// to where its watcher jumped. The sound stays open while the game starts
// again, and its samples loaded.
void hold_sdl_sound(bool held);
