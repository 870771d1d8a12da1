// The Windows icon file (.ico) of the Windows build: a directory of square
// images of the one icon, each stored either as a 32-bit DIB, which every
// Windows and resource compiler reads, or as PNG bytes, which Windows reads
// since Vista and which keeps the 256 px image small.
#pragma once

#include <cstdint>
#include <vector>

namespace iconc {

// One image of the icon: its side in pixels (1..256) and the bytes stored for it,
// as dib_image or a PNG file makes them.
struct ico_entry {
    int size = 0;
    std::vector<std::uint8_t> data;
};

// A size x size RGBA picture as an icon DIB: BITMAPINFOHEADER with the height
// doubled, BGRA rows from the bottom up, then the 1-bit mask (set where alpha is 0)
// with rows padded to 4 bytes.
std::vector<std::uint8_t> dib_image(const std::vector<std::uint8_t>& rgba, int size);

// The whole .ico file: ICONDIR, one ICONDIRENTRY per image, then the images in order.
std::vector<std::uint8_t> ico_file(const std::vector<ico_entry>& entries);

}  // namespace iconc
