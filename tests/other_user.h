#pragma once
// Permission rules only show for a user who lacks permissions: when the tests
// run as root, a check runs as the unprivileged user "nobody" instead, in a
// child process, so that CI (which runs as root) sees it too.
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

// The user a check runs as: nobody under root, else the user running the tests.
inline uid_t player_uid() { return geteuid() == 0 ? 65534 : geteuid(); }
inline gid_t player_gid() { return geteuid() == 0 ? 65534 : getegid(); }

// Runs the check as the player and returns what it found wrong ("" when nothing).
inline std::string as_player(const std::function<std::string()>& check) {
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) return "no pipe";
    const pid_t child = fork();
    if (child < 0) return "no fork";
    if (child == 0) {
        close(pipe_fds[0]);
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(player_gid()) != 0 || setuid(player_uid()) != 0))
            _exit(2);
        const std::string found = check();
        const ssize_t written = write(pipe_fds[1], found.data(), found.size());
        _exit(written == static_cast<ssize_t>(found.size()) ? 0 : 3);
    }
    close(pipe_fds[1]);
    std::string found;
    char buffer[256];
    for (ssize_t n; (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;)
        found.append(buffer, static_cast<std::size_t>(n));
    close(pipe_fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the check as the player did not finish: " + found;
    return found;
}
