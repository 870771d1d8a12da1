#include "present/png_writer.h"

#include <png.h>

#include <cstdio>

bool write_png(const std::string& path, const std::uint8_t* pixels, int width, int height, int pitch,
               const rgb* palette) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (info != nullptr && setjmp(png_jmpbuf(png)) == 0) {
        // The game's own form: 8-bit indices and their palette, smaller and
        // quicker to write than true colour, and read the same by any reader.
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_color colours[256];
        for (int i = 0; i < 256; ++i) colours[i] = png_color{palette[i].r, palette[i].g, palette[i].b};
        png_set_PLTE(png, info, colours, 256);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, const_cast<png_bytep>(pixels + static_cast<std::size_t>(y) * pitch));
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}
