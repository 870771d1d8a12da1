#include "sound/sound.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "flow/flow.h"
#include "sound/sound_library.h"

namespace {

class recording_library final : public sound_library {
public:
    std::vector<std::string> calls;
    float reported_version = 3.74f;
    bool init_succeeds = true;
    std::set<std::string> missing_files;

    float version() override {
        calls.push_back("version");
        return reported_version;
    }
    bool init(int rate, int channels, int flags) override {
        calls.push_back("init " + std::to_string(rate) + " " + std::to_string(channels) + " " + std::to_string(flags));
        return init_succeeds;
    }
    sound_sample* load_sample(int index, const std::string& file) override {
        calls.push_back("load " + std::to_string(index) + " " + file);
        return missing_files.count(file) ? nullptr : reinterpret_cast<sound_sample*>(&samples_[index]);
    }
    void set_sample_defaults(sound_sample* s, int frequency, int volume, int pan, int priority) override {
        calls.push_back("defaults " + name(s) + " " + std::to_string(frequency) + " " + std::to_string(volume) + " " +
                        std::to_string(pan) + " " + std::to_string(priority));
    }
    void play_sound(int channel, sound_sample* s) override {
        calls.push_back("play " + std::to_string(channel) + " " + name(s));
    }
    void close() override { calls.push_back("close"); }

private:
    std::string name(sound_sample* s) const { return std::to_string(reinterpret_cast<const char*>(s) - samples_); }
    char samples_[6] = {};
};

class Sound : public ::testing::Test {
protected:
    static recording_library& library() {
        static recording_library lib;  // outlives the exit handler sound_setup registers
        return lib;
    }
    void SetUp() override {
        library() = recording_library{};
        use_sound_library(&library());
    }
    void TearDown() override {
        sound_shutdown();
        library().calls.clear();
    }
    void set_up_with(std::vector<std::string> args) {
        keep_program_arguments(std::move(args));
        sound_setup();
    }
};

TEST_F(Sound, SetUpLoadsTheSixSamplesInOrder) {
    set_up_with({"korvane"});
    const std::vector<std::string> expected = {
        "version",
        "init 44100 64 0",
        "load 0 WAV/laser.WAV",
        "load 1 WAV/explosion.WAV",
        "load 2 WAV/munch.WAV",
        "load 3 WAV/exp_energy.WAV",
        "load 4 WAV/fall.WAV",
        "load 5 WAV/boom.WAV",
    };
    EXPECT_EQ(library().calls, expected);
    library().calls.clear();
    play_sample(sample_fall, 7, 64);
    play_sample(sample_fall, 8, -1);
    EXPECT_EQ(library().calls,
              (std::vector<std::string>{"defaults 4 -1 64 -1 -1", "play 7 4", "defaults 4 -1 -1 -1 -1", "play 8 4"}));
    library().calls.clear();
    testing::internal::CaptureStdout();
    sound_shutdown();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "FMOD CLOSED\n");
    EXPECT_EQ(library().calls, std::vector<std::string>{"close"});
}

TEST_F(Sound, NosoundAnywhereInTheArgumentsCallsNothing) {
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"korvane", "-nosound"}, {"korvane", "x", "/NoSoundPlease"}, {"korvane", "NO", "SOUND", "nosound"}}) {
        library().calls.clear();
        set_up_with(args);
        play_sample(sample_laser, 0, -1);
        testing::internal::CaptureStdout();
        sound_shutdown();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_TRUE(library().calls.empty()) << args[1];
    }
    // The words are joined with blanks, so a split word does not count;
    // nor does the program's own name.
    set_up_with({"nosound-korvane", "NO", "SOUND"});
    EXPECT_FALSE(library().calls.empty());
}

TEST_F(Sound, OneMissingFileSilencesEverything) {
    library().missing_files = {"WAV/munch.WAV"};
    set_up_with({"korvane"});
    EXPECT_EQ(library().calls.size(), 8u) << "the other samples are still loaded";
    library().calls.clear();
    play_sample(sample_laser, 0, -1);
    testing::internal::CaptureStdout();
    sound_shutdown();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(library().calls.empty());
}

TEST_F(Sound, OldLibraryIsStillInitialisedButStaysSilent) {
    library().reported_version = 3.73f;
    set_up_with({"korvane"});
    EXPECT_EQ(library().calls, (std::vector<std::string>{"version", "init 44100 64 0"}));
    library() = recording_library{};
    library().init_succeeds = false;
    set_up_with({"korvane"});
    play_sample(sample_boom, 12, 255);
    EXPECT_EQ(library().calls, (std::vector<std::string>{"version", "init 44100 64 0"}));
}

TEST(SoundFiles, OnlyARegularFileOfASaneSizeIsDecoded) {
    alarm(30);  // a load that blocks ends the test instead of hanging it
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("korvane_sound_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    ASSERT_EQ(mkfifo((dir / "fifo.WAV").c_str(), 0644), 0);
    std::filesystem::create_symlink("/dev/zero", dir / "zero.WAV");
    std::ofstream(dir / "huge.WAV") << "RIFF";
    std::filesystem::resize_file(dir / "huge.WAV", std::uintmax_t{4} << 30);
    for (const char* name : {"fifo.WAV", "zero.WAV", "huge.WAV", "missing.WAV"})
        EXPECT_EQ(sdl_mixer_library().load_sample(0, (dir / name).string()), nullptr) << name;
    std::filesystem::remove_all(dir);
    alarm(0);
}

}  // namespace
