// Reading a file's start, the same on every system.
#include "files/file_reading.h"

#include <algorithm>

file_status read_file_start(const std::string& path, std::size_t max_bytes, std::vector<std::uint8_t>& data) {
    regular_file file;
    const file_status status = file.open(path);
    if (status != file_status::ok) return status;
    data.resize(static_cast<std::size_t>(std::min<std::uint64_t>(file.size(), max_bytes)));
    // The file may shrink while it is read: keep what was there.
    data.resize(file.read_up_to(0, data.data(), data.size()));
    return file_status::ok;
}
