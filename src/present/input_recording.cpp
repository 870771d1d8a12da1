#include "present/input_recording.h"

#include <cstdio>

#include "present/platform.h"

namespace {

std::FILE* file = nullptr;
bool failed = false;
std::string pending_move;  // the last move at pending_move_ms, not yet written
unsigned long long pending_move_ms = 0;

unsigned long long now() {
    platform* p = current_platform();
    return p != nullptr ? p->virtual_ms() : 0;
}

void write_line(unsigned long long ms, const std::string& event) {
    if (std::fprintf(file, "%llu %s\n", ms, event.c_str()) < 0) failed = true;
}

void write_pending_move() {
    if (pending_move.empty()) return;
    write_line(pending_move_ms, pending_move);
    pending_move.clear();
}

}  // namespace

bool start_input_recording(const std::string& path, const std::vector<std::string>& comments) {
    file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    failed = false;
    for (const std::string& comment : comments) std::fprintf(file, "# %s\n", comment.c_str());
    return true;
}

bool recording_input() { return file != nullptr; }

namespace {

void record_line(const std::string& line) {
    write_pending_move();
    write_line(now(), line);
    // Written as it happens, so that a crash keeps the game so far.
    std::fflush(file);
}

}  // namespace

void record_input_event(const script_event& event) {
    if (file == nullptr) return;
    const std::string line = format_event(event);
    if (line.empty()) return;
    if (event.action == script_action::move) {
        const unsigned long long ms = now();
        if (ms != pending_move_ms) write_pending_move();
        pending_move = line;
        pending_move_ms = ms;
        return;
    }
    record_line(line);
}

void record_best_at_start(std::int32_t best) {
    if (file != nullptr) record_line(format_best(best));
}

void record_calm_at_start() {
    if (file != nullptr) record_line(format_calm());
}

bool stop_input_recording() {
    if (file == nullptr) return true;
    write_pending_move();
    const bool written = !failed && std::ferror(file) == 0;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    return written && closed;
}
