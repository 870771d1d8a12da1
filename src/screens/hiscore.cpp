// The best score survives between runs in hiscore.txt (see game_files.h for where).
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/game_files.h"
#include "screens/hiscore_format.h"
#include "screens/screens.h"

namespace {

constexpr std::int32_t default_hi_score = 1000;

// Length of the file, creating it empty when it is missing; -1 when it
// cannot be opened for appending.
long file_length_creating() {
    std::FILE* f = std::fopen(hi_score_file().c_str(), "ab");
    if (f == nullptr) return -1;
    long length = 0;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    std::fclose(f);
    return length < 0 ? 0 : length;
}

bool read_file(std::string& contents) {
    std::FILE* f = std::fopen(hi_score_file().c_str(), "rb");
    if (f == nullptr) return false;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) contents.append(buffer, n);
    std::fclose(f);
    return true;
}

bool write_all(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// What a file newly made by the game may allow: read and write for all, less the umask.
mode_t new_file_mode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void write_hi_score(std::int32_t value) {
    const std::string file = hi_score_file();
    if (!make_hi_score_folder()) return;
    // A file someone made read-only keeps its contents.
    struct stat existing {};
    const bool exists = stat(file.c_str(), &existing) == 0;
    if (exists && (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return;
    // The new file is complete before it replaces the old one, so a crash or a
    // full disk never leaves a cut-off best score behind.
    std::string temp_name = file + ".XXXXXX";
    const int fd = mkstemp(temp_name.data());
    if (fd < 0) return;
    const bool written = write_all(fd, format_hi_score(value)) && fsync(fd) == 0;
    const bool closed = close(fd) == 0;
    if (written && closed) chmod(temp_name.c_str(), exists ? existing.st_mode & 07777 : new_file_mode());
    if (!written || !closed || std::rename(temp_name.c_str(), file.c_str()) != 0) unlink(temp_name.c_str());
}

void read_hi_score(std::int32_t& value) {
    std::string contents;
    const long length = file_length_creating();
    if (length > 0) {
        value = read_file(contents) ? parse_hi_score(contents) : 0;
        return;
    }
    // A best score that may be read but not written is still the best score.
    if (length < 0 && read_file(contents) && !contents.empty()) {
        value = parse_hi_score(contents);
        return;
    }
    value = default_hi_score;
    write_hi_score(default_hi_score);
}
