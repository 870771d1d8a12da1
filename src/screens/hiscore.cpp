// The best score survives between runs in hiscore.txt (see game_files.h for
// where, and file_saving.h for how it is saved).
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_reading.h"
#include "files/file_saving.h"
#include "files/game_files.h"
#include "screens/hiscore_format.h"
#include "screens/screens.h"

namespace {

constexpr std::int32_t default_hi_score = 1000;
// Only the first two fields count; a file the game wrote is 17 bytes at most.
constexpr std::size_t hi_score_read_limit = 4096;

bool kept_apart = false;
std::optional<std::int32_t> recorded_start;

// The file's best, if it has one: false when it is missing, empty or unreadable.
bool best_in_file(std::int32_t& value) {
    std::vector<std::uint8_t> contents;
    if (read_file_start(hi_score_file(), hi_score_read_limit, contents) != file_status::ok || contents.empty())
        return false;
    value = parse_hi_score(std::string_view(reinterpret_cast<const char*>(contents.data()), contents.size()));
    return true;
}

void read_hi_score_file(std::int32_t& value) {
    // A missing, empty or unopenable file gives the default, which is saved at
    // once where that can be done. A best score that may be read but not
    // written is still the best score.
    if (best_in_file(value)) return;
    value = default_hi_score;
    write_hi_score(default_hi_score);
}

}  // namespace

void keep_hi_score_apart(std::optional<std::int32_t> start) {
    kept_apart = true;
    recorded_start = start;
}

void write_hi_score(std::int32_t value) {
    if (kept_apart || !make_hi_score_folder()) return;
    // Another game in the same folder may have saved a higher best since
    // this one read it: the best in the file never goes down.
    if (std::int32_t saved = 0; best_in_file(saved) && saved > value) return;
    save_file(hi_score_file(), format_hi_score(value));
}

void read_hi_score(std::int32_t& value) {
    if (recorded_start)
        value = *recorded_start;
    else
        read_hi_score_file(value);
}
