// The running process on POSIX systems.
#include <sys/resource.h>

#include <csignal>

#include "programs/process.h"

namespace {

void (*stop_requested)(int) = nullptr;

void stop_on_signal(int signal) { stop_requested(128 + signal); }

}  // namespace

// POSIX streams are byte streams already, and a program has the terminal it was started from.
void prepare_standard_streams(bool) {}

void on_stop_request(void (*stop)(int exit_code)) {
    stop_requested = stop;
    struct sigaction action {};
    action.sa_handler = stop_on_signal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

long peak_memory_kb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
