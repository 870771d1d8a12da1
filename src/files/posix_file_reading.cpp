// Reading regular files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/file_reading.h"

regular_file::~regular_file() {
    if (handle_ >= 0) close(static_cast<int>(handle_));
}

file_status regular_file::open(const std::string& path) {
    // Non-blocking, so that a FIFO with no writer cannot stop the game here.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return file_status::missing;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return file_status::not_a_file;
    }
    if (handle_ >= 0) close(static_cast<int>(handle_));
    handle_ = fd;
    size_ = static_cast<std::uint64_t>(info.st_size);
    return file_status::ok;
}

std::size_t regular_file::read_up_to(std::uint64_t offset, void* buffer, std::size_t n) const {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = pread(static_cast<int>(handle_), out + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}
