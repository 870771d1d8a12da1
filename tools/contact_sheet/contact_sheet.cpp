// Renders the game's art for people to review at a glance, as PNGs: every
// sprite with its index, the sprite sheet's layout, every glyph, the backgrounds and the story pictures;
// every squid set at every size on each background; each play field as the
// game draws it; and one frame of every screen of a recorded game.
//   draw_contact_sheet OUTPUT_FOLDER RECORDED_GAME    (run in a game folder)
#include <cstdio>
#include <string>

#include "assets/assets.h"
#include "assets/picture_files.h"
#include "flow/flow_internal.h"
#include "present/headless_platform.h"
#include "present/image.h"
#include "present/screen.h"
#include "sheet.h"
#include "state/direction_tables.h"

namespace {

std::string number(int i) { return std::to_string(i); }

bool render_pictures(const std::string& path) {
    image* enlarged[4];
    image* picture = create_image(80, 60);
    for (int i = 0; i < 4; ++i) {
        load_bmp((std::string("graphics/") + story_picture_files[i]).c_str(), picture);
        enlarged[i] = create_image(640, 480);
        enlarge8(picture, enlarged[i]);
    }
    const bool ok = render_sheet(
        path, 1340, 4, [&](int i) { return enlarged[i]; }, [](int i) { return "picture " + number(i); });
    for (image* img : enlarged) destroy_image(img);
    destroy_image(picture);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER RECORDED_GAME   (run in a game folder)\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    headless_platform platform({}, {}, std::nullopt);
    install_platform(&platform);
    open_screen(screen_width, screen_height, 8, screen_pages, false);
    set_text_grid(80, 60);
    load_graphics();
    fill_direction_tables();

    bool ok = render_sheet(
        out + "/sprites.png", 1300, sprite_count, [](int i) { return sprite_images[i]; }, number);
    ok &= render_sheet(
        out + "/glyphs.png", 1300, 96, [](int i) { return glyph_images[32 + i]; },
        [](int i) { return number(32 + i); });
    ok &= render_sheet(
        out + "/backgrounds.png", 2200, 3, [](int i) { return background_images[i]; },
        [](int i) { return "BG" + number(i); });
    ok &= render_layout_page(out + "/sprite-sheet.png");
    ok &= render_pictures(out + "/pictures.png");
    ok &= render_squid_page(out + "/squids.png");
    ok &= render_field_page(out + "/play-fields.png");
    ok &= render_screen_page(out + "/screens.png", argv[2]);
    free_graphics();
    install_platform(nullptr);
    return ok ? 0 : 1;
}
