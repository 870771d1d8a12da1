#pragma once
// The built-in player of korvane-headless --autoplay. It starts games from
// the title, aims at what it can see on screen and fires, pays out its
// chains, now and then pauses (by Escape, the middle button or leaving the
// window) and answers the dialog, skips some of the story, tires at a stage
// of its own choosing so that every game ends, and after the games asked for
// leaves the program from the title.
//
// Its choices come from its own generator, never from the game's, and it
// acts only as the game begins to sleep, at the moment the game wakes: a
// recording of its input replays exactly.
#include <cstdint>

class headless_platform;

void play_by_itself(headless_platform& platform, std::uint32_t seed, int games);
