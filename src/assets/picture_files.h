#pragma once
// The game's picture files in graphics/, each named here once: the art
// compiler writes them under these names, the game reads them, and CMake
// takes the compiler's outputs from this header (every quoted name in it).
// The case of each name is the files' own.
inline constexpr const char* background_files[3] = {"BG0.BMP", "BG1.BMP", "BG2.BMP"};
inline constexpr const char* sprite_sheet_file = "sprite.BMP";
inline constexpr const char* font_file = "font4.BMP";
// In the order of story_picture: the title, the opening, the crash, the game over.
inline constexpr const char* story_picture_files[4] = {"title.bmp", "opening.bmp", "crashing.bmp", "ending.bmp"};
