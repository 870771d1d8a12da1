// Where the game's files belong on POSIX systems.
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "files/system_folders.h"

std::string running_program_path() {
    std::error_code ec;
    const std::filesystem::path running = std::filesystem::read_symlink("/proc/self/exe", ec);
    return !ec && running.is_absolute() ? running.string() : std::string{};
}

namespace {

// The folder an XDG variable names (only an absolute one counts), else the
// one under the player's home.
std::string xdg_folder(const char* variable, const char* under_home) {
    if (const char* xdg = std::getenv(variable); xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        const passwd* user = getpwuid(getuid());
        home = user != nullptr ? user->pw_dir : nullptr;
    }
    if (home == nullptr || home[0] != '/') return {};
    return std::string(home) + under_home;
}

}  // namespace

std::string user_data_folder() { return xdg_folder("XDG_DATA_HOME", "/.local/share"); }

std::string user_config_folder() { return xdg_folder("XDG_CONFIG_HOME", "/.config"); }

bool score_beside_the_game() { return true; }

bool make_folder(const std::string& path, bool players_only) {
    // The player may always enter and write a folder the game made, whatever the umask.
    const mode_t mask = umask(0);
    umask(mask);
    const mode_t mode = players_only ? 0700 : (0777 & ~mask) | 0700;
    if (mkdir(path.c_str(), mode) == 0)
        chmod(path.c_str(), mode);
    else if (errno != EEXIST)
        return false;
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
