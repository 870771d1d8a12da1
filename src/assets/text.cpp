// The game's proportional text in its own font, and sprites drawn as one-colour
// silhouettes or with one colour turned into opaque black.
#include <algorithm>
#include <array>
#include <charconv>
#include <string>

#include "assets/assets.h"
#include "present/row_kernels.h"
#include "present/screen.h"

const std::int32_t glyph_widths[128] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 5, 6, 5, 5, 6, 2, 3, 3, 6, 6, 2, 5, 2, 6,  // space ! " # $ % & ' ( ) * + , - . /
    4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 2, 2, 5, 5, 5, 4,                          // 0-9 : ; < = > ?
    6, 5, 5, 5, 5, 4, 4, 5, 5, 4, 5, 5, 4, 6, 5, 5,                          // @ A-O
    5, 5, 5, 4, 4, 5, 5, 6, 5, 4, 4, 3, 6, 3, 5, 5,                          // P-Z [ \ ] ^ _
    2, 4, 4, 4, 4, 4, 4, 4, 4, 2, 4, 4, 3, 6, 4, 4,                          // ` a-o
    4, 4, 4, 4, 4, 4, 5, 6, 4, 4, 5, 4, 6, 4, 5, 5,                          // p-z { | } ~ and 127
};

std::uint32_t silhouette_pixel(std::uint32_t source, std::uint32_t destination, const void* parameter) {
    return source != 0 ? static_cast<std::uint32_t>(*static_cast<const std::int32_t*>(parameter)) : destination;
}

std::uint32_t colour_to_zero_pixel(std::uint32_t source, std::uint32_t destination, const void* parameter) {
    if (source == 0) return destination;
    return source == static_cast<std::uint32_t>(*static_cast<const std::int32_t*>(parameter)) ? 0 : source;
}

void draw_text(image* target, int x, int y, std::string_view text, std::int32_t colour) {
    // Laying out glyphs that would not be drawn is most of a run without drawing.
    if (target == nullptr && skip_drawing_on_work_page()) return;
    int pen = x;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        // Only 32..127 have glyphs; anything else is skipped without a trace.
        if (c < 32 || c > 127) continue;
        if (colour == -1)
            put_image(target, pen, y, glyph_images[c], put_mode::transparent);
        else
            put_silhouette(target, pen, y, glyph_images[c], colour);
        pen += (glyph_widths[c] + 1) * 8;
    }
}

void put_sprite_silhouette(image* target, int x, int y, int index, std::int32_t colour) {
    if (index < 0 || index >= sprite_count) return;
    put_silhouette(target, x, y, sprite_images[index], colour);
}

void put_sprite_colour_to_zero(image* target, int x, int y, int index, std::int32_t colour) {
    if (index < 0 || index >= sprite_count) return;
    // The custom put with colour_to_zero_pixel, a row at a time: a colour no
    // pixel can have turns nothing to 0, and the put is a transparent one,
    // as it is for colour 0 (which no drawn pixel has).
    const auto c = static_cast<std::uint8_t>(colour >= 0 && colour <= 255 ? colour : 0);
    put_rows(target, x, y, sprite_images[index], nullptr,
             [c](const std::uint8_t* in, std::uint8_t* out, int width) { colour_to_zero_row(in, out, width, c); });
}

void put_silhouette(image* target, int x, int y, const image* source, std::int32_t colour) {
    // The custom put with silhouette_pixel, a row at a time; it writes the colour's low 8 bits.
    const auto c = static_cast<std::uint8_t>(colour);
    put_rows(target, x, y, source, nullptr,
             [c](const std::uint8_t* in, std::uint8_t* out, int width) { silhouette_row(in, out, width, c); });
}

namespace {

constexpr std::array<char, 80> block_row = [] {
    std::array<char, 80> row{};
    row.fill(static_cast<char>(219));
    return row;
}();

}  // namespace

std::string_view full_blocks(int count) {
    return {block_row.data(), static_cast<std::size_t>(std::clamp(count, 0, 80))};
}

std::string padded_number(std::int64_t value, int digits) {
    // The zeros and the value's last characters, without building the long form.
    char number[24];
    const auto length = static_cast<std::size_t>(std::to_chars(number, number + sizeof number, value).ptr - number);
    const auto wanted = static_cast<std::size_t>(std::max(digits, 1));
    std::string shown(wanted, '0');
    const std::size_t kept = std::min(length, wanted);
    std::copy(number + length - kept, number + length, shown.end() - static_cast<std::ptrdiff_t>(kept));
    return shown;
}
