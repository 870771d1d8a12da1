// BMP loading: uncompressed 1-, 4- and 8-bit palette pictures, bottom row
// first. The colour table always replaces the screen palette's first entries.
#include <algorithm>
#include <string>
#include <vector>

#include "files/file_reading.h"
#include "present/image.h"
#include "present/page_history.h"
#include "present/screen.h"

namespace {

constexpr std::size_t header_size = 54;
constexpr std::uint32_t info_header_size = 40;

std::uint32_t u32(const std::uint8_t* d) { return d[0] | d[1] << 8 | d[2] << 16 | std::uint32_t{d[3]} << 24; }
std::uint16_t u16(const std::uint8_t* d) { return static_cast<std::uint16_t>(d[0] | d[1] << 8); }

std::uint8_t pixel_at(const std::uint8_t* row, std::uint32_t x, int bits) {
    switch (bits) {
        case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case 4: return (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
        default: return row[x];
    }
}

enum class part { colours, colours_of_page, whole };

// Loads the picture's colour table and, for the whole of it, its rows onto
// the target. Only its colours are wanted from a picture that is not drawn.
bmp_result load(const char* path, image* target, part wanted) {
    // Kept from load to load, like row below: a picture loaded again
    // allocates nothing.
    static std::string file_path;
    file_path.assign(path);
    std::replace(file_path.begin(), file_path.end(), '\\', '/');
    // Only what the picture needs is read: the header, the colour table and
    // the part of each row that lands on the target, however large the file.
    regular_file file;
    if (file.open(file_path) != file_status::ok) return bmp_not_found;
    std::uint8_t header[header_size];
    if (!file.read_at(0, header, header_size) || header[0] != 'B' || header[1] != 'M' ||
        u32(header + 14) != info_header_size)
        return bmp_unreadable;

    const std::int32_t file_width = static_cast<std::int32_t>(u32(header + 18));
    const std::int32_t file_height = static_cast<std::int32_t>(u32(header + 22));
    const int bits = u16(header + 28);
    const std::uint32_t compression = u32(header + 30);
    const std::uint32_t pixel_offset = u32(header + 10);
    if (bits == 15 || bits == 16 || bits == 24 || bits == 32) return bmp_not_supported;
    if (bits != 1 && bits != 4 && bits != 8) return bmp_unreadable;
    // Compressed and top-down pictures are kinds the game never uses.
    if (compression != 0 || file_height < 0) return bmp_not_supported;
    if (file_width <= 0 || file_height == 0 || pixel_offset < header_size) return bmp_unreadable;

    const pixel_surface dest = surface_of(target);
    if (dest.pixels == nullptr) return bmp_unreadable;
    const std::uint64_t row_bytes = (std::uint64_t{static_cast<std::uint32_t>(file_width)} * bits + 7) / 8;
    const std::uint64_t stride = (row_bytes + 3) & ~std::uint64_t{3};
    const std::uint32_t width = std::min<std::uint32_t>(file_width, dest.width);
    const std::int32_t rows = std::min<std::int32_t>(file_height, dest.height);
    // Rows are stored bottom first, and loaded up to the first the file does
    // not hold whole: the top one loaded is known before any is read.
    const std::uint64_t whole_rows =
        file.size() < pixel_offset + row_bytes ? 0 : (file.size() - pixel_offset - row_bytes) / stride + 1;
    const std::int64_t first_whole =
        std::int64_t{file_height} -
        static_cast<std::int64_t>(std::min<std::uint64_t>(whole_rows, static_cast<std::uint64_t>(file_height)));
    const auto top = static_cast<std::int32_t>(std::clamp<std::int64_t>(first_whole, 0, rows));
    if (target == nullptr && wanted != part::colours) {
        note_work_page_drawn_on();
        note_work_page_area_written(0, top, static_cast<int>(width) - 1, rows - 1);
    }

    const std::size_t table_entries = std::min<std::size_t>((pixel_offset - header_size) / 4, 256);
    std::uint8_t table[256 * 4];
    if (!file.read_at(header_size, table, table_entries * 4)) return bmp_unreadable;
    for (std::size_t i = 0; i < table_entries; ++i) {
        const std::uint8_t* e = &table[4 * i];
        set_palette_entry(static_cast<int>(i), rgb{e[2], e[1], e[0]});
    }
    if (wanted != part::whole) return bmp_ok;

    static std::vector<std::uint8_t> row;
    row.resize((std::uint64_t{width} * bits + 7) / 8);
    // Those below the target are never read. A row the file holds only in
    // part makes the picture unreadable from there.
    bmp_result result = top > 0 ? bmp_unreadable : bmp_ok;
    for (std::int32_t y = rows - 1; y >= top; --y) {
        const std::uint64_t start = pixel_offset + static_cast<std::uint64_t>(file_height - 1 - y) * stride;
        if (!file.read_at(start, row.data(), row.size())) {
            result = bmp_unreadable;
            break;
        }
        std::uint8_t* out = dest.pixels + y * dest.pitch;
        for (std::uint32_t x = 0; x < width; ++x) out[x] = pixel_at(row.data(), x, bits);
    }
    note_surface_drawn(target);
    return result;
}

}  // namespace

bmp_result load_bmp(const char* path, image* target) {
    // The game reads a picture on a page back only to draw it again.
    const bool drawn = target != nullptr || !skip_drawing_on_work_page();
    return load(path, target, drawn ? part::whole : part::colours_of_page);
}

bmp_result load_bmp_colours(const char* path) { return load(path, nullptr, part::colours); }
