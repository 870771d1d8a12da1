#include "x_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <thread>

using namespace std::chrono_literals;

child_process::child_process(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                             const std::string& folder, const std::string& output) {
    pid_ = fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ > 0) return;
    // The child: its own process group, so that stopping it stops what it started.
    setpgid(0, 0);
    if (!folder.empty() && chdir(folder.c_str()) != 0) _exit(127);
    const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out >= 0) {
        dup2(out, STDOUT_FILENO);
        dup2(out, STDERR_FILENO);
    }
    for (const std::string& entry : environment) putenv(const_cast<char*>(entry.c_str()));
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

child_process::~child_process() { stop(); }

child_process::child_process(child_process&& other) noexcept : pid_(other.pid_) { other.pid_ = -1; }

child_process& child_process::operator=(child_process&& other) noexcept {
    if (this != &other) {
        stop();
        pid_ = other.pid_;
        other.pid_ = -1;
    }
    return *this;
}

void child_process::stop() {
    if (pid_ <= 0) return;
    // Asked first, so that an X server clears its lock and socket for the next one.
    kill(-pid_, SIGTERM);
    if (wait_for_exit(2s) < 0 && pid_ > 0) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    pid_ = -1;
}

int child_process::wait_for_exit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (pid_ > 0) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() > deadline) return -1;
        std::this_thread::sleep_for(20ms);
    }
    return -1;
}

void x_session::start_server(int width, int height) {
    // Xvfb picks a free display and writes its number to the pipe.
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    server_ = child_process({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                             std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp"},
                            {});
    close(fds[1]);
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (number.empty()) throw std::runtime_error("Xvfb did not start");
    display_ = ":" + number;
}

x_session::x_session(int width, int height) {
    // The window manager is up once it has claimed the screen. Now and then
    // it does not come up on a server that has just started: start both
    // again, and if it never does, say what it printed.
    const std::string log =
        std::filesystem::temp_directory_path() / ("korvane_openbox_" + std::to_string(getpid()) + ".log");
    for (int attempt = 1;; ++attempt) {
        window_manager_ = child_process();
        start_server(width, height);
        window_manager_ = child_process({"openbox"}, {"DISPLAY=" + display_}, "", log);
        if (eventually(
                [&] {
                    return run({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}).find("window id") != std::string::npos;
                },
                10s))
            break;
        if (attempt == 3) {
            window_manager_ = child_process();
            std::ifstream in(log);
            const std::string printed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::filesystem::remove(log);
            throw std::runtime_error("openbox did not start on " + display_ + "; it printed: " + printed);
        }
    }
    std::filesystem::remove(log);
}

std::vector<std::string> x_session::with(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return argv;
}

std::string x_session::run(const std::vector<std::string>& argv) const {
    std::string command = "DISPLAY=" + display_;
    for (const std::string& a : argv) command += " '" + a + "'";
    command += " 2>/dev/null";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return {};
    std::string out;
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return pclose(pipe) == 0 ? out : std::string{};
}

picture x_session::capture(const std::string& window) const { return read_xwd(run({"xwd", "-silent", "-id", window})); }

std::string x_session::find_window(const std::string& name, std::chrono::milliseconds timeout) const {
    // xdotool takes a regular expression.
    std::string pattern = "^";
    for (const char c : name) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
        pattern += c;
    }
    pattern += '$';
    std::string found;
    eventually(
        [&] {
            const std::string out = xdotool({"search", "--onlyvisible", "--name", pattern});
            found = out.substr(0, out.find('\n'));
            return !found.empty();
        },
        timeout);
    return found;
}

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(30ms);
    }
}
