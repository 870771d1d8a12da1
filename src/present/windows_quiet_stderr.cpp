// Standard error sent to NUL for a while, on Windows. A windowed program
// started without a console has no standard error, and nothing to quieten.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "present/quiet_stderr.h"

quiet_stderr::quiet_stderr() : saved_(_dup(_fileno(stderr))) {
    const int null_fd = _open("NUL", _O_WRONLY);
    if (saved_ >= 0 && null_fd >= 0) _dup2(null_fd, _fileno(stderr));
    if (null_fd >= 0) _close(null_fd);
}

quiet_stderr::~quiet_stderr() {
    if (saved_ < 0) return;
    _dup2(saved_, _fileno(stderr));
    _close(saved_);
}
