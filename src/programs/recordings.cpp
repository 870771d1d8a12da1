#include "programs/recordings.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <istream>
#include <iterator>
#include <sstream>
#include <streambuf>
#include <system_error>
#include <vector>

#include "files/file_reading.h"
#include "files/utf8_paths.h"
#include "present/input_recording.h"
#include "present/words.h"
#include "programs/usage.h"

namespace {

// A file's bytes as a stream, read a piece at a time.
class file_pieces : public std::streambuf {
public:
    explicit file_pieces(const regular_file& file) : file_(file) {}

private:
    int_type underflow() override {
        const std::size_t got = file_.read_up_to(offset_, piece_, sizeof piece_);
        if (got == 0) return traits_type::eof();
        offset_ += got;
        setg(piece_, piece_, piece_ + got);
        return traits_type::to_int_type(piece_[0]);
    }
    const regular_file& file_;
    std::uint64_t offset_ = 0;
    char piece_[1 << 16];
};

// A script is a regular file of at most this size (days of recorded play).
constexpr std::size_t largest_script_bytes = std::size_t{1} << 30;

// A word of the command line as a shell would need it.
std::string shell_word(const std::string& word) {
    if (!word.empty() &&
        word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./:=+-,") ==
            std::string::npos)
        return word;
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

bool start_recording(const char* program, const std::string& path, int argc, char** argv) {
    char date[40] = "";
    const std::time_t now = std::time(nullptr);
    if (const std::tm* utc = std::gmtime(&now)) std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S UTC", utc);
    std::string command_line;
    for (int i = 0; i < argc; ++i) {
        if (i > 0) command_line += ' ';
        command_line += shell_word(argv[i]);
    }
    const std::vector<std::string> header = {
        std::string("korvane ") + game_version() + " recording, " + date,
        "command line: " + command_line,
        "replay it with: korvane --replay FILE, or korvane-headless --input FILE",
    };
    if (start_input_recording(path, header)) return true;
    std::fprintf(stderr, "%s: cannot write the recording %s\n", program, ::quoted(path).c_str());
    return false;
}

bool recording_apart_from_replay(const char* program, const std::string& record, const std::string& replay) {
    std::error_code ec;
    if (record.empty() || replay.empty() ||
        (record != replay && !std::filesystem::equivalent(path_of(record), path_of(replay), ec)))
        return true;
    std::fprintf(stderr, "%s: the recording %s would replace the script it replays\n", program,
                 ::quoted(record).c_str());
    return false;
}

bool finish_recording(const char* program, const std::string& path) {
    if (stop_input_recording()) return true;
    std::fprintf(stderr, "%s: the recording %s could not be written completely\n", program, ::quoted(path).c_str());
    return false;
}

bool read_recording(const char* program, const std::string& path, script_contents& script) {
    regular_file file;
    if (file.open(path) != file_status::ok) {
        std::fprintf(stderr, "%s: cannot read %s: not a readable file\n", program, ::quoted(path).c_str());
        return false;
    }
    if (file.size() > largest_script_bytes) {
        std::fprintf(stderr, "%s: %s is larger than 1 GB\n", program, ::quoted(path).c_str());
        return false;
    }
    // Read a piece at a time, never held whole: the events take about as
    // much memory as the text, and one pass counts them first. The file may
    // shrink while it is read: what was there is kept.
    std::size_t lines = 0;
    {
        file_pieces counting(file);
        std::istream in(&counting);
        lines = static_cast<std::size_t>(std::count(std::istreambuf_iterator<char>(in), {}, '\n'));
    }
    script.events.reserve(lines + 1);
    file_pieces pieces(file);
    std::istream in(&pieces);
    std::string error;
    if (!parse_script(in, script, error)) {
        std::fprintf(stderr, "%s: %s: %s\n", program, ::quoted(path).c_str(), error.c_str());
        return false;
    }
    if (!script.recorded_by.empty() && script.recorded_by != game_version())
        std::fprintf(stderr, "%s: %s was recorded by korvane %s, this is %s: it may play differently\n", program,
                     ::quoted(path).c_str(), ::quoted(script.recorded_by).c_str(), game_version());
    return true;
}

bool plays_calm(const script_contents& script, bool asked) { return script.calm || asked; }
