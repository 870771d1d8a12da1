// Saving small files on Windows. Paths are UTF-8 (see windows_file_reading.cpp).
#include <windows.h>

#include <string>

#include "files/file_saving.h"

namespace {

constexpr int replace_attempts = 20;
constexpr DWORD replace_pause_ms = 50;  // a second in all: a virus scanner or a backup holds a file for less

bool write_all(HANDLE file, std::string_view bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) ||
            written == 0)
            return false;
        done += written;
    }
    return FlushFileBuffers(file) != 0;
}

// Where the bytes belong: the file, or what its symbolic link leads to; empty
// when a link leads nowhere.
std::string real_target(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return path;
    const HANDLE linked = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (linked == INVALID_HANDLE_VALUE) return {};
    char resolved[MAX_PATH * 4];
    const DWORD length = GetFinalPathNameByHandleA(linked, resolved, sizeof resolved, FILE_NAME_NORMALIZED);
    CloseHandle(linked);
    return length > 0 && length < sizeof resolved ? std::string(resolved, length) : std::string{};
}

bool sharing_in_the_way(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

bool rewrite_in_place(const std::string& target, std::string_view bytes) {
    const HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, TRUNCATE_EXISTING,
                                    FILE_FLAG_WRITE_THROUGH, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = write_all(file, bytes);
    return CloseHandle(file) != 0 && written;
}

}  // namespace

bool save_file(const std::string& path, std::string_view bytes) {
    const std::string target = real_target(path);
    if (target.empty()) return false;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return false;

    const std::string temporary = target + ".new";
    DeleteFileA(temporary.c_str());  // what an interrupted save left
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr);
    // A folder that takes no new file may still hold a file the player can write.
    if (file == INVALID_HANDLE_VALUE) return exists && rewrite_in_place(target, bytes);
    const bool written = write_all(file, bytes);
    if (!(CloseHandle(file) != 0 && written)) {
        DeleteFileA(temporary.c_str());
        return false;
    }
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (attempt == replace_attempts || !sharing_in_the_way(GetLastError())) break;
        Sleep(replace_pause_ms);
    }
    DeleteFileA(temporary.c_str());
    return false;
}
