// Standard error sent to /dev/null for a while, on POSIX systems.
#include <fcntl.h>
#include <unistd.h>

#include "present/quiet_stderr.h"

quiet_stderr::quiet_stderr() : saved_(dup(STDERR_FILENO)) {
    const int null_fd = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null_fd >= 0) dup2(null_fd, STDERR_FILENO);
    if (null_fd >= 0) close(null_fd);
}

quiet_stderr::~quiet_stderr() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}
