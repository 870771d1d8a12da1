#pragma once
// Reading the files a player can put in the game's way: only regular files
// are read (a FIFO, a device or a folder counts as a file that cannot be
// opened, and opening one never blocks), and never more of them than the
// caller can use.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum class file_status { ok, missing, not_a_file };

// An open regular file; closed when it goes.
class regular_file {
public:
    regular_file() = default;
    ~regular_file();
    regular_file(const regular_file&) = delete;
    regular_file& operator=(const regular_file&) = delete;

    file_status open(const std::string& path);
    std::uint64_t size() const { return size_; }
    // Up to n bytes from the offset: how many there were.
    std::size_t read_up_to(std::uint64_t offset, void* buffer, std::size_t n) const;
    bool read_at(std::uint64_t offset, void* buffer, std::size_t n) const { return read_up_to(offset, buffer, n) == n; }

private:
    std::intptr_t handle_ = -1;  // the system's: a file descriptor, or a Windows handle
    std::uint64_t size_ = 0;
};

// The file's first bytes, at most max_bytes of them.
file_status read_file_start(const std::string& path, std::size_t max_bytes, std::vector<std::uint8_t>& data);
