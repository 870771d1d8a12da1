// The SDL programs in a desktop window.
#include "present/sdl_host.h"

int longest_sdl_wait_ms() { return 4; }
bool sdl_sound_can_be_heard() { return true; }
void tell_host_title_shown() {}
