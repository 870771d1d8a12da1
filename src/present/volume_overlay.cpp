#include "present/volume_overlay.h"

#include <algorithm>
#include <string>

#include "present/overlay_pixels.h"

namespace {

constexpr std::uint32_t frame = 0xff8088a0;
constexpr std::uint32_t backdrop = 0xff101018;
constexpr std::uint32_t lit = 0xfff0f0f0;
constexpr std::uint32_t unlit = 0xff505060;

void fill(std::uint32_t* pixels, int x0, int y0, int w, int h, std::uint32_t colour) {
    fill_overlay(pixels, volume_overlay_width, x0, y0, w, h, colour);
}

void write_text(std::uint32_t* pixels, int x0, int y0, const std::string& text) {
    write_overlay_text(pixels, volume_overlay_width, x0, y0, text, lit);
}

}  // namespace

void apply_volume_key(volume_key key, window_settings& settings) {
    if (key == volume_key::mute) {
        settings.muted = !settings.muted;
        return;
    }
    settings.muted = false;
    const int step = key == volume_key::louder ? 10 : -10;
    // A volume set between tenths steps to the next tenth.
    const int tenths = key == volume_key::louder ? settings.volume / 10 : (settings.volume + 9) / 10;
    settings.volume = std::clamp(tenths * 10 + step, 0, 100);
}

void draw_volume_overlay(const window_settings& settings, std::uint32_t* pixels) {
    // Opaque and framed: it reads over any picture.
    fill(pixels, 0, 0, volume_overlay_width, volume_overlay_height, frame);
    fill(pixels, 1, 1, volume_overlay_width - 2, volume_overlay_height - 2, backdrop);
    if (settings.muted) {
        write_text(pixels, 8, 10, "MUTED");
        return;
    }
    write_text(pixels, 8, 4, "VOLUME " + std::to_string(settings.volume) + "%");
    // Ten cells, one for each tenth.
    for (int tenth = 0; tenth < 10; ++tenth)
        fill(pixels, 8 + tenth * 12, 17, 10, 6, tenth < (settings.volume + 5) / 10 ? lit : unlit);
}
