// The SDL programs in a browser page (Emscripten): the page's script
// (packaging/web/korvane_page.js) listens.
#include <emscripten.h>

#include "present/sdl_host.h"

// A sleep of the game is never longer than this.
int longest_sdl_wait_ms() { return 1000; }

bool sdl_sound_can_be_heard() {
    // SDL keeps its audio context here; the browser runs it once the player
    // has clicked or pressed a key.
    return EM_ASM_INT({
               const context = Module["SDL2"] && Module["SDL2"].audioContext;
               return context && context.state == "running" ? 1 : 0;
           }) != 0;
}

void tell_host_title_shown() {
    EM_ASM({
        if (Module["onTitleShown"]) Module["onTitleShown"]();
    });
}
