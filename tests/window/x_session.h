#pragma once
// A virtual X server with a window manager, and the programs the real-window
// tests run in it: the game itself, xdotool and xwd.
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "picture.h"

// A child process; killed when it goes out of scope.
class child_process {
public:
    child_process() = default;
    // Starts argv[0] (searched in PATH) with extra environment entries, in the folder.
    child_process(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                  const std::string& folder = "", const std::string& output = "/dev/null");
    ~child_process();
    child_process(child_process&& other) noexcept;
    child_process& operator=(child_process&& other) noexcept;

    pid_t pid() const { return pid_; }
    // The exit code once the process has ended within the time, else -1 (it is left running).
    int wait_for_exit(std::chrono::milliseconds timeout);

private:
    void stop();
    pid_t pid_ = -1;
};

class x_session {
public:
    // Starts Xvfb with one screen of the size, and openbox on it.
    x_session(int width, int height);
    const std::string& display() const { return display_; }

    // Runs a program on this display and returns what it printed; empty on failure.
    std::string run(const std::vector<std::string>& argv) const;
    // xdotool with these arguments.
    std::string xdotool(const std::vector<std::string>& arguments) const { return run(with("xdotool", arguments)); }
    // The client area of a window as the X server shows it.
    picture capture(const std::string& window) const;
    // The first shown window whose name matches exactly, waiting for it to
    // appear; empty if none does.
    std::string find_window(const std::string& name, std::chrono::milliseconds timeout) const;

private:
    void start_server(int width, int height);
    static std::vector<std::string> with(const std::string& program, const std::vector<std::string>& arguments);
    std::string display_;
    child_process server_;
    child_process window_manager_;
};

// Polls until the condition holds or the time is up; the last verdict.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
