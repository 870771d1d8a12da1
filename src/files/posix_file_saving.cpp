// Saving small files on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "files/file_saving.h"

namespace {

bool write_all(int fd, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// What a new file may allow: read and write for all, less the umask, but
// always read and write for the player: a best score its player cannot read
// back is lost, whatever umask the game was started with.
mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return (0666 & ~mask) | 0600;
}

std::string folder_of(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Where the bytes belong: the file itself, or what its link points to; empty
// when a link leads nowhere.
std::string real_target(const std::string& path) {
    struct stat link {};
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? resolved : std::string{};
}

bool rewrite_in_place(const std::string& target, std::string_view bytes) {
    const int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    const bool written = write_all(fd, bytes) && fsync(fd) == 0;
    return close(fd) == 0 && written;
}

}  // namespace

bool save_file(const std::string& path, std::string_view bytes) {
    const std::string target = real_target(path);
    if (target.empty()) return false;
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists) {
        if (!S_ISREG(existing.st_mode)) return false;
        const bool marked_read_only = (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
        if (marked_read_only || faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return false;
    }

    const std::string temporary = target + ".new";
    unlink(temporary.c_str());  // what an interrupted save left
    const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return exists && rewrite_in_place(target, bytes);
    bool ok = exists ? fchmod(fd, existing.st_mode & 07777) == 0 : fchmod(fd, new_file_mode()) == 0;
    struct stat made {};
    const bool owner_kept =
        !exists || (fstat(fd, &made) == 0 && made.st_uid == existing.st_uid && made.st_gid == existing.st_gid) ||
        fchown(fd, existing.st_uid, existing.st_gid) == 0;
    ok = ok && owner_kept && write_all(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), target.c_str()) != 0) {
        unlink(temporary.c_str());
        // A file whose owner a new file could not take is rewritten where it is.
        return exists && !owner_kept && rewrite_in_place(target, bytes);
    }
    // The rename itself reaches the disk with the folder.
    const int folder = open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        fsync(folder);
        close(folder);
    }
    return true;
}
