#pragma once
// Keeps what libraries print to standard error out of the player's terminal
// for as long as it lives: window-system and audio back ends complain there
// about missing devices, which the game handles on its own.
#include <fcntl.h>
#include <unistd.h>

class quiet_stderr {
public:
    quiet_stderr() : saved_(dup(STDERR_FILENO)) {
        const int null_fd = open("/dev/null", O_WRONLY);
        if (saved_ >= 0 && null_fd >= 0) dup2(null_fd, STDERR_FILENO);
        if (null_fd >= 0) close(null_fd);
    }
    ~quiet_stderr() {
        if (saved_ < 0) return;
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    quiet_stderr(const quiet_stderr&) = delete;
    quiet_stderr& operator=(const quiet_stderr&) = delete;

private:
    int saved_;
};
