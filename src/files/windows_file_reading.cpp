// Reading regular files on Windows. Paths are UTF-8: the programs run with
// UTF-8 as their code page (see the manifest in packaging/windows).
#include <windows.h>

#include <algorithm>

#include "files/file_reading.h"

namespace {

HANDLE handle_of(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

regular_file::~regular_file() {
    if (handle_ != -1) CloseHandle(handle_of(handle_));
}

file_status regular_file::open(const std::string& path) {
    // Others may go on reading, writing or replacing the file meanwhile, as on POSIX.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return folder ? file_status::not_a_file : file_status::missing;
    }
    // A pipe, a console or a device such as NUL is not read: it could block or never end.
    LARGE_INTEGER size{};
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return file_status::not_a_file;
    }
    if (handle_ != -1) CloseHandle(handle_of(handle_));
    handle_ = reinterpret_cast<std::intptr_t>(file);
    size_ = static_cast<std::uint64_t>(size.QuadPart);
    return file_status::ok;
}

std::size_t regular_file::read_up_to(std::uint64_t offset, void* buffer, std::size_t n) const {
    auto* out = static_cast<std::uint8_t*>(buffer);
    std::size_t done = 0;
    while (done < n) {
        OVERLAPPED at{};
        const std::uint64_t position = offset + done;
        at.Offset = static_cast<DWORD>(position);
        at.OffsetHigh = static_cast<DWORD>(position >> 32);
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(handle_of(handle_), out + done, wanted, &got, &at) || got == 0) break;
        done += got;
    }
    return done;
}
