#include "sound/recording_sound_library.h"

#include <cstring>

#include "files/file_reading.h"

namespace {

// The game's samples are a few hundred KB; a minute of CD-quality sound is 10 MB.
constexpr std::size_t largest_sample_bytes = 16 << 20;

std::uint32_t u32(const std::uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24; }
std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

}  // namespace

bool playable_wav(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return false;
    bool format_ok = false;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const std::uint32_t size = u32(&bytes[at + 4]);
        const std::uint8_t* body = &bytes[at + 8];
        if (size > bytes.size() - at - 8) return false;
        if (std::memcmp(&bytes[at], "fmt ", 4) == 0) {
            if (size < 16) return false;
            const int bits = u16(body + 14);
            format_ok = u16(body) == 1 && u16(body + 2) >= 1 && u16(body + 2) <= 2 && u32(body + 4) > 0 &&
                        (bits == 8 || bits == 16);
        } else if (std::memcmp(&bytes[at], "data", 4) == 0) {
            return format_ok && size > 0;
        }
        at += 8 + size + (size & 1);
    }
    return false;
}

float recording_sound_library::version() {
    calls.push_back("version");
    return reported_version;
}

bool recording_sound_library::init(int mix_rate, int max_channels, int flags) {
    calls.push_back("init " + std::to_string(mix_rate) + " " + std::to_string(max_channels) + " " +
                    std::to_string(flags));
    return device_present;
}

sound_sample* recording_sound_library::load_sample(int pool_index, const std::string& file) {
    calls.push_back("load " + std::to_string(pool_index) + " " + file);
    if (pool_index < 0 || pool_index >= sample_count) return nullptr;
    std::vector<std::uint8_t> bytes;
    if (read_file_start(file, largest_sample_bytes + 1, bytes) != file_status::ok ||
        bytes.size() > largest_sample_bytes || !playable_wav(bytes))
        return nullptr;
    return reinterpret_cast<sound_sample*>(&pool_[pool_index]);
}

int recording_sound_library::index_of(const sound_sample* sample) const {
    const auto* p = reinterpret_cast<const char*>(sample);
    return p >= pool_ && p < pool_ + sample_count ? static_cast<int>(p - pool_) : -1;
}

void recording_sound_library::set_sample_defaults(sound_sample* sample, int frequency, int volume, int pan,
                                                  int priority) {
    const int index = index_of(sample);
    calls.push_back("defaults " + std::to_string(index) + " " + std::to_string(frequency) + " " +
                    std::to_string(volume) + " " + std::to_string(pan) + " " + std::to_string(priority));
    if (index >= 0 && volume >= 0) default_volume_[index] = volume;
}

void recording_sound_library::play_sound(int channel, sound_sample* sample) {
    if (!log_plays) return;
    const int index = index_of(sample);
    calls.push_back("play " + std::to_string(channel) + " " + std::to_string(index));
    if (index >= 0) plays.push_back({clock_ ? clock_() : 0, index, channel, default_volume_[index]});
}

void recording_sound_library::close() { calls.push_back("close"); }
