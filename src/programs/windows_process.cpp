// The running process on Windows.
#include <windows.h>
// (after windows.h, which they need)
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <cstdio>

#include "programs/process.h"

namespace {

void (*stop_requested)(int) = nullptr;

// Runs on a thread of its own that Windows starts for the console's event.
BOOL WINAPI stop_on_console_event(DWORD event) {
    stop_requested(event == CTRL_C_EVENT ? 130 : 143);
    return TRUE;
}

bool has_stream(DWORD which) {
    const HANDLE stream = GetStdHandle(which);
    return stream != nullptr && stream != INVALID_HANDLE_VALUE;
}

}  // namespace

void prepare_standard_streams(bool windowed) {
    // A windowed program has no console of its own: one started from a
    // console writes --help and its error lines there, unless they are
    // redirected already.
    if (windowed && !(has_stream(STD_OUTPUT_HANDLE) && has_stream(STD_ERROR_HANDLE)) &&
        AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!has_stream(STD_OUTPUT_HANDLE) || _fileno(stdout) < 0) std::freopen("CONOUT$", "w", stdout);
        if (!has_stream(STD_ERROR_HANDLE) || _fileno(stderr) < 0) std::freopen("CONOUT$", "w", stderr);
    }
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void on_stop_request(void (*stop)(int exit_code)) {
    stop_requested = stop;
    SetConsoleCtrlHandler(stop_on_console_event, TRUE);
}

long peak_memory_kb() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<long>(counters.PeakWorkingSetSize / 1024);
}
