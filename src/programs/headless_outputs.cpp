#include "programs/headless_outputs.h"

#include "present/picture_digest.h"
#include "present/png_writer.h"
#include "present/screen.h"
#include "present/words.h"
#include "programs/game_report.h"
#include "programs/process.h"
#include "programs/recordings.h"
#include "sound/sound.h"

namespace {

constexpr const char* program = "korvane-headless";
constexpr std::uint64_t frames_between_memory_lines = 10'000;

void say_cannot_write(const std::string& path) {
    std::fprintf(stderr, "%s: cannot write %s\n", program, quoted(path).c_str());
}

// Opens path for writing when it is asked for: false after a message when it cannot be.
bool open_asked(const std::string& path, std::FILE*& file) {
    if (path.empty()) return true;
    if ((file = std::fopen(path.c_str(), "wb")) != nullptr) return true;
    say_cannot_write(path);
    return false;
}

// Closes an output file: true when all of it was written.
bool close_output(std::FILE* file) {
    const bool written = std::ferror(file) == 0;
    return std::fclose(file) == 0 && written;
}

}  // namespace

bool run_outputs::open(const command_line& line, int argc, char** argv) {
    line_ = &line;
    if (!open_asked(line.trace_file, trace_) || !open_asked(line.memory_file, memory_) ||
        !open_asked(line.pictures_file, pictures_) || !open_asked(line.sounds_file, sounds_) ||
        !open_asked(line.state_file, state_))
        return false;
    // Last: a recording is only begun for a run that starts.
    if (!line.record.empty() && !start_recording(program, line.record, argc, argv)) return false;
    recording_ = !line.record.empty();
    if (memory_ != nullptr) write_memory_line();
    return true;
}

void run_outputs::watch(headless_platform& platform) {
    platform.on_shot_due([this](const screenshot_request& shot, const std::uint8_t* pixels, const rgb* palette) {
        shot_due(shot, pixels, palette);
    });
    if (pictures_ != nullptr)
        platform.on_picture_seen([this](std::uint64_t ms, const std::uint8_t* pixels, const rgb* palette) {
            picture_seen(ms, pixels, palette);
        });
}

void run_outputs::write_memory_line() {
    std::fprintf(memory_, "%llu %ld\n", static_cast<unsigned long long>(frames_of_play_), peak_memory_kb());
    std::fflush(memory_);
}

void run_outputs::frame_ended(std::uint64_t ms) {
    ++frames_of_play_;
    if (trace_ != nullptr) std::fprintf(trace_, "%s\n", frame_report_json(ms).c_str());
    if (memory_ != nullptr && frames_of_play_ % frames_between_memory_lines == 0) write_memory_line();
}

// Every picture a player sees, once: when it was first on show as time passed, and its digest.
void run_outputs::picture_seen(std::uint64_t ms, const std::uint8_t* pixels, const rgb* palette) {
    const std::uint64_t digest = picture_digest(pixels, palette);
    if (digest == last_picture_ && any_picture_) return;
    std::fprintf(pictures_, "%llu %016llx\n", static_cast<unsigned long long>(ms),
                 static_cast<unsigned long long>(digest));
    last_picture_ = digest;
    any_picture_ = true;
}

void run_outputs::shot_due(const screenshot_request& shot, const std::uint8_t* pixels, const rgb* palette) {
    made(write_png(shot.path, pixels, screen_width, screen_height, screen_width, palette), shot.path);
}

void run_outputs::made(bool written, const std::string& path) {
    if (written) return;
    say_cannot_write(path);
    all_made_ = false;
}

bool run_outputs::finish(headless_platform& platform, const std::vector<recording_sound_library::play>& plays) {
    if (recording_ && !finish_recording(program, line_->record)) all_made_ = false;
    if (memory_ != nullptr) {
        write_memory_line();
        made(close_output(memory_), line_->memory_file);
    }
    if (trace_ != nullptr) made(close_output(trace_), line_->trace_file);
    for (const screenshot_request& shot : platform.pending_shots()) {
        std::fprintf(stderr, "%s: the run ended before %s at %llu ms\n", program, quoted(shot.path).c_str(),
                     static_cast<unsigned long long>(shot.ms));
        all_made_ = false;
    }
    if (pictures_ != nullptr) {
        picture_seen(platform.now_ms(), platform.shown_pixels(), platform.shown_palette());
        made(close_output(pictures_), line_->pictures_file);
    }
    // One line a play: virtual time, sample, channel and volume (-1: the sample's default).
    if (sounds_ != nullptr) {
        for (const auto& p : plays)
            std::fprintf(sounds_, "%llu %s %d %d\n", static_cast<unsigned long long>(p.ms), sample_name(p.sample),
                         p.channel, p.volume);
        made(close_output(sounds_), line_->sounds_file);
    }
    if (state_ != nullptr) {
        std::fprintf(state_, "%s\n", state_report_json(platform.now_ms()).c_str());
        made(close_output(state_), line_->state_file);
    }
    return all_made_;
}
