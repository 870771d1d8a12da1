// What POSIX systems can put in the game's way when it reads and saves its
// files: FIFOs, devices, links, permissions and owners, huge sparse files,
// a save killed halfway.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "bmp_builder.h"
#include "bmp_files.h"
#include "files/game_files.h"
#include "files/system_folders.h"
#include "other_user.h"
#include "programs/settings.h"
#include "screens/hiscore_format.h"
#include "screens/screens.h"
#include "sound/sdl_mixer_library.h"

namespace {

class HiScoreFile : public ::testing::Test {
protected:
    std::filesystem::path old_dir = std::filesystem::current_path();
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("korvane_hiscore_" + std::to_string(getpid()));
    void SetUp() override {
        std::filesystem::create_directories(dir);
        // The player's own folder, also when the player is "nobody" under root.
        if (chown(dir.c_str(), player_uid(), player_gid()) != 0) FAIL() << "cannot hand the folder to the player";
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        std::filesystem::current_path(old_dir);
        chmod(dir.c_str(), 0755);
        std::filesystem::remove_all(dir);
    }
    static std::string contents(const char* file = "hiscore.txt") {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void put(const std::string& text, const char* file = "hiscore.txt") {
        std::ofstream(file, std::ios::binary) << text;
    }
    static void give_to_player(const char* file) {
        if (chown(file, player_uid(), player_gid()) != 0) ADD_FAILURE() << "cannot hand " << file << " to the player";
    }
    static int files_in_folder() {
        int n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(".")) ++n;
        return n;
    }
};

TEST_F(HiScoreFile, MissingOrEmptyFileBecomesTheDefault) {
    std::int32_t value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(contents(), "hi-score\r\n 1000\r\n");
    put("");
    value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 1000);
    EXPECT_EQ(contents().size(), 17u);
}

TEST_F(HiScoreFile, ReadsAndReplacesTheStoredValue) {
    put("hi-score\r\n 4321\r\n");
    std::int32_t value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 4321);
    write_hi_score(5000);
    EXPECT_EQ(contents(), "hi-score\r\n 5000\r\n");
    EXPECT_EQ(files_in_folder(), 1) << "no temporary file is left behind";
}

TEST_F(HiScoreFile, WhatThePlayerCannotWriteIsStillReadAndLeftAsItWas) {
    put("hi-score\r\n 4321\r\n");
    chmod("hiscore.txt", 0444);
    give_to_player("hiscore.txt");
    EXPECT_EQ(as_player([] {
                  std::int32_t value = 0;
                  read_hi_score(value);
                  write_hi_score(9999);
                  return value == 4321 ? std::string{} : "read " + std::to_string(value);
              }),
              "");
    EXPECT_EQ(contents(), "hi-score\r\n 4321\r\n") << "a read-only file stays as it was";

    // Another user's file in the player's own folder: the folder would allow
    // replacing it, but the player could not have written it.
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    chmod("hiscore.txt", 0644);
    ASSERT_EQ(chown("hiscore.txt", 0, 0), 0);
    EXPECT_EQ(as_player([] {
                  write_hi_score(9999);
                  return std::string{};
              }),
              "");
    EXPECT_EQ(contents(), "hi-score\r\n 4321\r\n");
    struct stat info {};
    ASSERT_EQ(stat("hiscore.txt", &info), 0);
    EXPECT_EQ(info.st_uid, 0u) << "the file keeps its owner";
}

TEST_F(HiScoreFile, AWritableFileInAFolderWithoutWriteAccessIsRewrittenInPlace) {
    put("hi-score\r\n 4321\r\n");
    give_to_player("hiscore.txt");
    chmod(dir.c_str(), 0555);
    EXPECT_EQ(as_player([] {
                  write_hi_score(9999);
                  return std::string{};
              }),
              "");
    EXPECT_EQ(contents(), "hi-score\r\n 9999\r\n") << "the new best is not lost";
    EXPECT_EQ(files_in_folder(), 1);
}

TEST_F(HiScoreFile, TheSaveKeepsTheFilesModeAndOwner) {
    put("hi-score\r\n 4321\r\n");
    chmod("hiscore.txt", 0640);
    give_to_player("hiscore.txt");  // under root, a file of another user than the one saving
    write_hi_score(5000);
    struct stat info {};
    ASSERT_EQ(stat("hiscore.txt", &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(info.st_uid, player_uid());
    EXPECT_EQ(contents(), "hi-score\r\n 5000\r\n");
}

TEST_F(HiScoreFile, ALinkIsSavedThroughOrLeftAloneWhenItLeadsNowhereUseful) {
    std::filesystem::create_directory("shared");
    put("hi-score\r\n 100\r\n", "shared/best.txt");
    std::filesystem::create_symlink("shared/best.txt", "hiscore.txt");
    std::int32_t value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 100);
    write_hi_score(5000);
    EXPECT_EQ(contents("shared/best.txt"), "hi-score\r\n 5000\r\n") << "the best goes where the player keeps it";
    EXPECT_TRUE(std::filesystem::is_symlink("hiscore.txt"));

    std::filesystem::remove("hiscore.txt");
    std::filesystem::create_symlink("nowhere/best.txt", "hiscore.txt");
    read_hi_score(value);
    EXPECT_EQ(value, 1000);
    EXPECT_FALSE(std::filesystem::exists("nowhere")) << "a dangling link makes nothing";

    std::filesystem::remove("hiscore.txt");
    std::filesystem::create_symlink("/dev/null", "hiscore.txt");
    read_hi_score(value);
    write_hi_score(5000);
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/null"));
    EXPECT_TRUE(std::filesystem::is_symlink("hiscore.txt"));
    EXPECT_EQ(files_in_folder(), 2) << "the link and the shared folder, nothing more";
}

TEST_F(HiScoreFile, NoFileInTheWayBlocksOrFloodsTheGame) {
    alarm(30);  // a read that blocks ends the test instead of hanging it
    ASSERT_EQ(mkfifo("hiscore.txt", 0644), 0);
    std::int32_t value = 0;
    read_hi_score(value);
    write_hi_score(5000);
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(std::filesystem::is_fifo("hiscore.txt"));

    std::filesystem::remove("hiscore.txt");
    std::filesystem::create_symlink("/dev/zero", "hiscore.txt");
    read_hi_score(value);
    EXPECT_EQ(value, 1000);

    // 8 GB that hold almost nothing, behind a valid score.
    std::filesystem::remove("hiscore.txt");
    put("hi-score\r\n 4321\r\n");
    std::filesystem::resize_file("hiscore.txt", std::uintmax_t{8} << 30);
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    read_hi_score(value);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(value, 4321);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024) << "kilobytes more memory";
    alarm(0);
}

TEST_F(HiScoreFile, AKilledSaveLeavesTheOldOrTheNewScoreAndTheNextSaveClearsUp) {
    const std::string valid[] = {format_hi_score(1), format_hi_score(111111), format_hi_score(222222)};
    put(valid[0]);
    std::mt19937 random(12345);
    for (int kill_number = 0; kill_number < 40; ++kill_number) {
        const pid_t saver = fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (int i = 0;; ++i) write_hi_score(i % 2 ? 111111 : 222222);
        }
        usleep(std::uniform_int_distribution<useconds_t>(0, 3000)(random));
        kill(saver, SIGKILL);
        waitpid(saver, nullptr, 0);
        const std::string now = contents();
        EXPECT_TRUE(now == valid[0] || now == valid[1] || now == valid[2])
            << "after kill " << kill_number << ": " << now;
    }
    write_hi_score(333333);
    EXPECT_EQ(contents(), format_hi_score(333333));
    EXPECT_EQ(files_in_folder(), 1) << "the next save removed what a killed one left";
}

TEST_F(HiScoreFile, AFolderInTheWayGivesTheDefaultAndStaysAFolder) {
    std::filesystem::create_directory("hiscore.txt");
    std::int32_t value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 1000);
    write_hi_score(5000);
    EXPECT_TRUE(std::filesystem::is_directory("hiscore.txt"));
    EXPECT_EQ(files_in_folder(), 1) << "no temporary file is left behind";
}

TEST_F(HiScoreFile, ASaveNeverLowersABestAnotherGameSavedMeanwhile) {
    write_hi_score(5000);
    // Another game in the same folder ends with a higher best.
    std::ofstream("hiscore.txt", std::ios::binary) << format_hi_score(23680);
    write_hi_score(7000);
    EXPECT_EQ(contents(), format_hi_score(23680));
    write_hi_score(30000);
    EXPECT_EQ(contents(), format_hi_score(30000));
}

// Whatever umask the game starts with (a browser's runtime starts with 0777),
// the best it saves can be read back and saved again, in the working folder
// and in a data folder the game makes.
TEST_F(HiScoreFile, AnyUmaskLeavesTheBestToThePlayer) {
    const mode_t old_mask = umask(0777);
    write_hi_score(4321);
    setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    std::filesystem::create_directory("elsewhere");
    std::filesystem::current_path("elsewhere");
    locate_game_files(nullptr);
    const std::string in_data_folder = hi_score_file();
    write_hi_score(5000);
    umask(old_mask);
    unsetenv("XDG_DATA_HOME");

    std::int32_t value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 5000) << in_data_folder;
    // Back to the game's own folder, where the best stays beside the game.
    std::filesystem::current_path(old_dir);
    locate_game_files(nullptr);
    EXPECT_EQ(contents((dir / "hiscore.txt").c_str()), format_hi_score(4321));
    for (const std::string& file : {(dir / "hiscore.txt").string(), in_data_folder}) {
        struct stat info {};
        ASSERT_EQ(stat(file.c_str(), &info), 0) << file;
        EXPECT_EQ(info.st_mode & 0600, 0600u) << file;
    }
    struct stat folder {};
    ASSERT_EQ(stat((dir / "data" / "korvane").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
}

// The settings go into a folder the game makes for the player alone, and
// come back whole; without a file the game starts from the defaults.
TEST_F(HiScoreFile, SettingsAreSavedInAPrivateFolderAndReadBack) {
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    EXPECT_EQ(format_settings(read_settings("korvane")), format_settings({}));
    game_settings s;
    s.window.volume = 70;
    s.calm = true;
    ASSERT_TRUE(save_settings("korvane", s));
    EXPECT_EQ(format_settings(read_settings("korvane")), format_settings(s));
    struct stat folder {};
    ASSERT_EQ(stat((dir / "config" / "korvane").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);
    unsetenv("XDG_CONFIG_HOME");
}

using PosixBmpFiles = bmp_files;

// A relative data or configuration folder would move the best or the
// settings with the working folder: it is ignored, as the XDG rules say, and
// so is a relative home.
TEST(SystemFolders, OnlyAnAbsoluteXdgFolderOrHomeIsTheDataOrConfigurationFolder) {
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    setenv("HOME", "/home/player", 1);
    setenv("XDG_DATA_HOME", "relative/data", 1);
    setenv("XDG_CONFIG_HOME", "relative/config", 1);
    EXPECT_EQ(user_data_folder(), "/home/player/.local/share");
    EXPECT_EQ(settings_file(), "/home/player/.config/korvane/settings.ini");
    setenv("XDG_DATA_HOME", "/srv/data", 1);
    setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    EXPECT_EQ(user_data_folder(), "/srv/data");
    EXPECT_EQ(settings_file(), "/srv/config/korvane/settings.ini");
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "relative", 1);
    const std::string from_account = user_data_folder();
    EXPECT_TRUE(from_account.empty() || from_account.starts_with('/'))
        << "the account's home instead: " << from_account;
    home.empty() ? unsetenv("HOME") : setenv("HOME", home.c_str(), 1);
}

TEST_F(PosixBmpFiles, OnlyRegularFilesAreReadAndOnlyWhatThePictureNeeds) {
    alarm(30);  // a load that blocks ends the test instead of hanging it
    image_ptr img = make_image(4, 3);
    const std::string fifo = (dir / "fifo.bmp").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(load_bmp(fifo.c_str(), img.get()), bmp_not_found);
    std::filesystem::create_symlink("/dev/zero", dir / "zero.bmp");
    EXPECT_EQ(load_bmp((dir / "zero.bmp").string().c_str(), img.get()), bmp_not_found);
    EXPECT_EQ(load_bmp(dir.string().c_str(), img.get()), bmp_not_found) << "a folder";

    // A picture 2^30 pixels wide and 8 GB long: only the corner the image takes is read.
    std::vector<std::uint8_t> header = build_bmp(bmp_fields{});
    const std::size_t pixel_offset = 54 + 4 * 256;
    header.resize(pixel_offset);
    header[18] = 0;
    header[21] = 0x40;  // width 2^30
    const std::string huge = write("huge.bmp", header);
    std::filesystem::resize_file(huge, pixel_offset + std::uintmax_t{3} * (1u << 30));
    {
        std::fstream f(huge, std::ios::in | std::ios::out | std::ios::binary);
        for (int stored = 0; stored < 3; ++stored) {  // bottom row first
            f.seekp(
                static_cast<std::streamoff>(pixel_offset + std::uintmax_t{static_cast<unsigned>(stored)} * (1u << 30)));
            const char row[4] = {char(10 + stored), char(10 + stored), char(10 + stored), char(10 + stored)};
            f.write(row, 4);
        }
    }
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    EXPECT_EQ(load_bmp(huge.c_str(), img.get()), bmp_ok);
    getrusage(RUSAGE_SELF, &after);
    EXPECT_EQ(at(*img, 3, 2), 10);
    EXPECT_EQ(at(*img, 3, 0), 12);
    EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 16 * 1024) << "kilobytes more memory";
    alarm(0);
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
