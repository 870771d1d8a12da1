// The game's six samples: set up once at start-up, played by index on a
// channel, closed at program exit. Any failure only makes the game silent.
#include "sound/sound.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "files/game_files.h"
#include "sound/sound_library.h"

namespace {

constexpr float oldest_library_version = 3.74f;

std::int32_t sound_wanted;
std::int32_t sound_on;
sound_sample* samples[sample_count];
constexpr char sample_names[sample_count][16] = {"laser", "explosion", "munch", "exp_energy", "fall", "boom"};

sound_library* library = nullptr;

bool command_line_asks_for_silence(const std::vector<std::string>& args) {
    std::string joined;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (i > 1) joined += ' ';
        joined += args[i];
    }
    std::transform(joined.begin(), joined.end(), joined.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return joined.find("NOSOUND") != std::string::npos;
}

std::string sample_path(int index) {
    std::string name(sample_names[index]);
    name.erase(name.find_last_not_of(' ') + 1);
    return sample_file(name + ".WAV");
}

// The game is silent for a reason the player can do something about.
void report_silence(const std::string& reason) {
    std::fprintf(stderr, "korvane: %s; the game plays without sound\n", reason.c_str());
}

}  // namespace

void use_sound_library(sound_library* replacement) { library = replacement; }

const char* sample_name(int index) { return index >= 0 && index < sample_count ? sample_names[index] : "?"; }

void sound_setup(const std::vector<std::string>& command_line) {
    sound_wanted = command_line_asks_for_silence(command_line) ? 0 : -1;
    // A program that installed no sound library has no sound to offer.
    if (!sound_wanted || library == nullptr) {
        sound_on = 0;
        return;
    }
    // Once, however often the game starts (a replay starts again at each
    // jump), and only with a library to close: its own exit handlers, made
    // before it was installed, run after this.
    [[maybe_unused]] static const bool closes_at_exit = std::atexit(sound_shutdown) == 0;
    sound_on = -1;
    if (library->version() < oldest_library_version) sound_on = 0;
    if (!library->init(44100, 64, 0)) {
        sound_on = 0;
        report_silence("no sound device (" + library->failure_reason() + ")");
    }
    if (!sound_on) return;
    std::string first_missing;
    for (int i = 0; i < sample_count; ++i) {
        samples[i] = library->load_sample(i, sample_path(i));
        if (samples[i] == nullptr) {
            sound_on = 0;
            if (first_missing.empty()) first_missing = sample_path(i);
        }
    }
    if (first_missing.empty()) return;
    report_silence(samples_found() ? "cannot load " + first_missing : "no samples in " + sample_search_list());
}

void play_sample(int index, int channel, int volume) {
    if (!sound_on || index < 0 || index >= sample_count) return;
    library->set_sample_defaults(samples[index], -1, volume, -1, -1);
    library->play_sound(channel, samples[index]);
}

void sound_shutdown() {
    if (!sound_on) return;
    sound_on = 0;
    library->close();
    // The game has always said so on standard output when its sound closes;
    // scripts around it (and the tests) wait for the line.
    std::printf("FMOD CLOSED\n");
    std::fflush(stdout);
}
