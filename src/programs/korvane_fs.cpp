// The game on the whole screen.
#include "programs/sdl_main.h"

int main(int argc, char** argv) { return run_on_sdl(argc, argv, true); }
