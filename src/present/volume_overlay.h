#pragma once
// The volume keys of the windowed programs and the note the window shows of
// a change: drawn over the presented picture for about a second, never on
// the game's pages, screenshots or recordings, and never reaching the game.
#include <cstdint>

#include "present/window_settings.h"

// The note's size in screen pixels, and how long it stays.
inline constexpr int volume_overlay_width = 136;
inline constexpr int volume_overlay_height = 28;
inline constexpr int volume_overlay_ms = 1200;

enum class volume_key { mute, quieter, louder };

// M mutes and unmutes; - and + step the volume by a tenth, within 0..100,
// and sound again when muted.
void apply_volume_key(volume_key key, window_settings& settings);

// The note, as ARGB pixels (volume_overlay_width x volume_overlay_height):
// "VOLUME 60%" over a bar of tenths, or "MUTED".
void draw_volume_overlay(const window_settings& settings, std::uint32_t* pixels);
