#include "sound/sound.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/recording_sound_library.h"
#include "sound/sdl_mixer_library.h"

namespace {

class Sound : public ::testing::Test {
protected:
    static recording_sound_library& library() {
        static recording_sound_library lib;  // outlives the exit handler sound_setup registers
        return lib;
    }
    void SetUp() override {
        library() = recording_sound_library{};
        use_sound_library(&library());
    }
    void TearDown() override {
        sound_shutdown();
        library().calls.clear();
    }
    void set_up_with(std::vector<std::string> args) { sound_setup(args); }
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

TEST_F(Sound, OneMissingOrDamagedFileSilencesEverything) {
    // A folder of the game's samples, one of them damaged.
    const std::filesystem::path old_dir = std::filesystem::current_path();
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("korvane_samples_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir / "WAV");
    for (const auto& entry : std::filesystem::directory_iterator("WAV"))
        std::filesystem::copy_file(entry.path(), dir / "WAV" / entry.path().filename());
    std::filesystem::resize_file(dir / "WAV/munch.WAV", 40);  // its data chunk cut off
    std::filesystem::current_path(dir);
    testing::internal::CaptureStderr();
    set_up_with({"korvane"});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "korvane: cannot load WAV/munch.WAV; the game plays without sound\n");
    std::filesystem::current_path(old_dir);
    std::filesystem::remove_all(dir);
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
    library() = recording_sound_library{};
    library().device_present = false;
    testing::internal::CaptureStderr();
    set_up_with({"korvane"});
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "korvane: no sound device (none present); the game plays without sound\n");
    play_sample(sample_boom, 12, 255);
    EXPECT_EQ(library().calls, (std::vector<std::string>{"version", "init 44100 64 0"}));
}

}  // namespace
