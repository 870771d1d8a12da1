#pragma once
// What differs between the SDL programs in a desktop window and in a browser
// page. desktop_sdl_host.cpp and web_sdl_host.cpp implement it; CMake picks one.

// The longest single wait within a sleep of the game. A desktop waits in
// short slices and keeps the window answering; a page is woken late by a few
// milliseconds at every wait, so there a sleep is one wait.
int longest_sdl_wait_ms();

// False while nobody can hear a sound: a browser lets a page make sound only
// after the player's first click or key, and a sound played before then
// would be heard late, all at once. A desktop can always be heard.
bool sdl_sound_can_be_heard();

// Tells what hosts the game that it shows its title, between games: a page
// offers what was recorded. A desktop has nothing to tell.
void tell_host_title_shown();
