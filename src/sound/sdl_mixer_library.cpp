// The sound library of the windowed programs: SDL_mixer, opened once, 64 channels.
#include "sound/sdl_mixer_library.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "files/file_reading.h"
#include "present/quiet_stderr.h"
#include "present/sdl_host.h"

namespace {

// The game's samples are a few hundred KB; a minute of CD-quality sound is 10 MB.
constexpr std::size_t largest_sample_bytes = 16 << 20;

int player_volume_percent = 100;
void apply_player_volume() {
    Mix_MasterVolume((std::clamp(player_volume_percent, 0, 100) * MIX_MAX_VOLUME + 50) / 100);
}

class sdl_mixer final : public sound_library {
public:
    // SDL_mixer has no version in the old library's numbering; it offers all
    // it needs, so it answers with the oldest version the game accepts.
    float version() override { return 3.74f; }

    bool init(int mix_rate, int max_channels, int) override {
        if (open_) return true;
        quiet_stderr quiet;
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            failure_ = SDL_GetError();
            return false;
        }
        if (Mix_OpenAudio(mix_rate, AUDIO_S16SYS, 2, 1024) != 0) {
            failure_ = Mix_GetError();
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return false;
        }
        Mix_AllocateChannels(max_channels);
        apply_player_volume();
        open_ = true;
        return true;
    }

    std::string failure_reason() const override { return failure_; }

    sound_sample* load_sample(int, const std::string& file) override {
        if (const auto loaded = by_file_.find(file); loaded != by_file_.end())
            return reinterpret_cast<sound_sample*>(loaded->second);
        std::string path = file;
        std::replace(path.begin(), path.end(), '\\', '/');
        // Read by the game, so that only a regular file of a sane size is decoded.
        std::vector<std::uint8_t> bytes;
        if (read_file_start(path, largest_sample_bytes + 1, bytes) != file_status::ok ||
            bytes.size() > largest_sample_bytes)
            return nullptr;
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
        if (chunk != nullptr) loaded_.push_back(chunk);
        if (chunk != nullptr) by_file_[file] = chunk;
        return reinterpret_cast<sound_sample*>(chunk);
    }

    void set_sample_defaults(sound_sample* sample, int, int volume, int, int) override {
        if (sample == nullptr || volume < 0) return;
        const int mixer_volume = (std::min(volume, 255) * MIX_MAX_VOLUME + 127) / 255;
        Mix_VolumeChunk(reinterpret_cast<Mix_Chunk*>(sample), mixer_volume);
    }

    void play_sound(int channel, sound_sample* sample) override {
        if (sample != nullptr && !held_ && sdl_sound_can_be_heard())
            Mix_PlayChannel(channel, reinterpret_cast<Mix_Chunk*>(sample), 0);
    }

    void close() override {
        if (!open_) return;
        Mix_HaltChannel(-1);
        for (Mix_Chunk* chunk : loaded_) Mix_FreeChunk(chunk);
        loaded_.clear();
        by_file_.clear();
        Mix_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        open_ = false;
    }

    bool is_open() const { return open_; }
    void hold(bool held) {
        held_ = held;
        if (held && open_) Mix_HaltChannel(-1);
    }

private:
    bool open_ = false;
    bool held_ = false;
    std::map<std::string, Mix_Chunk*> by_file_;
    std::string failure_;
    std::vector<Mix_Chunk*> loaded_;
};

sdl_mixer& the_mixer() {
    static sdl_mixer mixer;
    return mixer;
}

}  // namespace

sound_library& sdl_mixer_library() { return the_mixer(); }

void hold_sdl_sound(bool held) { the_mixer().hold(held); }

void set_sdl_sound_volume(int percent) {
    player_volume_percent = percent;
    if (the_mixer().is_open()) apply_player_volume();
}
