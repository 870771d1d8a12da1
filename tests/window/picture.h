#pragma once
// True-colour pictures for the real-window tests: what the X server shows
// (read from xwd), what korvane-headless and F12 write (PNG), and the ways
// the tests compare them.
#include <cstdint>
#include <string>
#include <vector>

struct colour {
    std::uint8_t r, g, b;
    bool operator==(const colour&) const = default;
};

struct picture {
    int width = 0;
    int height = 0;
    std::vector<colour> pixels;  // row by row from the top

    colour at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    bool empty() const { return pixels.empty(); }
    bool operator==(const picture&) const = default;
};

// For a person to look at when a test fails: binary PPM.
void write_ppm(const picture& p, const std::string& path);

// Empty when the data or file is not a picture of the kind.
picture read_xwd(const std::string& bytes);
picture read_png(const std::string& path);

// The pixels that all the pictures share, less those that any of `unlike`
// has too: what identifies a screen across its animation, told apart from
// another screen in any of its moments.
struct signature {
    std::vector<int> offsets;  // y * width + x
    std::vector<colour> colours;
};
signature common_pixels(const std::vector<picture>& shots, const std::vector<picture>& unlike);
// The share (0..1) of the signature's pixels that the 640x480 picture shows.
double matching_share(const picture& shown, const signature& s);

// True when `shown` is `reference` enlarged by a whole factor, pixel for pixel.
bool is_enlarged(const picture& shown, const picture& reference, int factor);
// The share of the reference's 8x8 blocks whose colour the shown picture has
// at the block's centre, where the reference is drawn into `area` of it.
struct area {
    int x, y, width, height;
};
double block_centre_share(const picture& shown, const area& where, const picture& reference);
// Whether every pixel of the area has the colour.
bool filled_with(const picture& shown, const area& where, colour c);
int count_colour(const picture& shown, const area& where, colour c);
