// BMP files as any bytes at all, loaded into images of the sizes the game
// loads into (a background, the sprite sheet, the font strip) and onto the
// work page of an open headless screen: no crash, no access out of bounds,
// and only pixel values the file's depth can hold.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "present/headless_platform.h"
#include "present/image.h"
#include "present/screen.h"

namespace {

struct image_size {
    int width, height;
};
constexpr image_size game_sizes[] = {{88, 72}, {128, 193}, {576, 7}};

// One open screen and one in-memory file for the whole process.
class load_setup {
public:
    load_setup() : platform_({}, {}, std::nullopt) {
        install_platform(&platform_);
        fuzz_require(open_screen(screen_width, screen_height, 8, screen_pages, false), "the screen opens");
        for (const image_size& size : game_sizes) {
            images_.push_back(create_image(size.width, size.height));
            fuzz_require(images_.back() != nullptr, "the image is created");
        }
        file_ = memfd_create("fuzz_bmp", 0);
        fuzz_require(file_ >= 0, "the in-memory file is created");
        path_ = "/proc/self/fd/" + std::to_string(file_);
    }
    ~load_setup() {
        for (image* img : images_) destroy_image(img);
        close(file_);
        install_platform(nullptr);
    }
    load_setup(const load_setup&) = delete;
    load_setup& operator=(const load_setup&) = delete;

    // Replaces the file's contents; load_bmp opens it by path, from the start.
    void write_file(const std::uint8_t* data, std::size_t size) {
        fuzz_require(ftruncate(file_, 0) == 0, "the in-memory file empties");
        std::size_t written = 0;
        while (written < size) {
            const ssize_t n = pwrite(file_, data + written, size - written, static_cast<off_t>(written));
            fuzz_require(n > 0, "the in-memory file takes the input");
            written += static_cast<std::size_t>(n);
        }
    }
    const char* path() const { return path_.c_str(); }
    const std::vector<image*>& images() { return images_; }

private:
    headless_platform platform_;
    std::vector<image*> images_;
    int file_ = -1;
    std::string path_;
};

// A little-endian header field, when the input is long enough to have it.
std::uint32_t header_field(const std::uint8_t* data, std::size_t size, std::size_t at, int bytes) {
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | (at + i < size ? data[at + i] : 0);
    return value;
}

void require_known_result(bmp_result result) {
    // The file exists, so only its contents can be blamed.
    fuzz_require(result == bmp_ok || result == bmp_unreadable || result == bmp_not_supported,
                 "an existing file is loaded, unreadable or not supported");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static load_setup setup;
    setup.write_file(data, size);

    // Colour 0 was everywhere before; a loaded pixel is below 2^depth.
    const std::uint32_t bits = header_field(data, size, 28, 2);
    const int colour_limit = bits == 1 || bits == 4 ? 1 << bits : bits == 8 ? 256 : 1;
    bmp_result first_result = bmp_not_found;
    for (image* img : setup.images()) {
        draw_filled_box(img, 0, 0, static_cast<int>(img->width) - 1, static_cast<int>(img->height) - 1, 0);
        const bmp_result into_image = load_bmp(setup.path(), img);
        require_known_result(into_image);
        if (img == setup.images().front()) first_result = into_image;
        for (std::uint32_t y = 0; y < img->height; ++y) {
            const std::uint8_t* row = img->pixels.get() + y * img->pitch;
            for (std::uint32_t x = 0; x < img->width; ++x)
                fuzz_require(row[x] < colour_limit, "no pixel value beyond the file's depth");
        }
    }

    const bmp_result onto_page = load_bmp(setup.path(), nullptr);
    require_known_result(onto_page);
    // A whole picture looks the same in the image as in the page's top left corner.
    const image* first = setup.images().front();
    if (first_result == bmp_ok && onto_page == bmp_ok) {
        const auto width = std::min<std::uint32_t>(header_field(data, size, 18, 4), first->width);
        const auto height = std::min<std::uint32_t>(header_field(data, size, 22, 4), first->height);
        const std::uint8_t* page = work_page_pixels();
        for (std::uint32_t y = 0; y < height; ++y)
            fuzz_require(std::memcmp(first->pixels.get() + y * first->pitch, page + y * screen_width, width) == 0,
                         "image and page agree");
    }
    return 0;
}
