// Where the game's files belong on Windows. Paths are UTF-8 (see
// windows_file_reading.cpp).
#include <windows.h>

#include <cstdlib>

#include "files/system_folders.h"

std::string running_program_path() {
    char path[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string{};
}

std::string user_data_folder() {
    const char* roaming = std::getenv("APPDATA");
    return roaming != nullptr ? roaming : "";
}

// Settings roam with the player, as the best score does.
std::string user_config_folder() { return user_data_folder(); }

bool score_beside_the_game() { return false; }

// Folders inherit the protection of the player's own profile.
bool make_folder(const std::string& path, bool) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}
