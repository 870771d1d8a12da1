#pragma once
// What the programs ask of the operating system about the running process.

// Makes standard output and error byte streams (no line-end translation), and
// lets a windowed program's messages reach the console it was started from.
void prepare_standard_streams(bool windowed);

// Calls stop with an exit code when the process is asked to stop: Ctrl+C
// (130), a closed terminal (129 on POSIX) or a kill or a closed console
// (143). stop must be safe to call from a signal handler or another thread.
void on_stop_request(void (*stop)(int exit_code));

// The most memory the process has held so far, in kilobytes.
long peak_memory_kb();
