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

#include "other_user.h"
#include "screens/hiscore_format.h"
#include "screens/screens.h"

namespace {

TEST(HiScoreFormat, WritesTheLabelAndTheValueLine) {
    EXPECT_EQ(format_hi_score(1000), std::string("hi-score\r\n 1000\r\n"));
    EXPECT_EQ(format_hi_score(1000).size(), 17u);
    EXPECT_EQ(format_hi_score(0), std::string("hi-score\r\n 0\r\n"));
    EXPECT_EQ(format_hi_score(99999990), std::string("hi-score\r\n 99999990\r\n"));
    EXPECT_EQ(format_hi_score(-20), std::string("hi-score\r\n-20\r\n"));
    EXPECT_EQ(format_hi_score(INT32_MIN), std::string("hi-score\r\n-2147483648\r\n"));
}

TEST(HiScoreFormat, ReadsBackWhatItWrites) {
    for (const std::int32_t v : {0, 1, 1000, 99999990, -20, INT32_MAX, INT32_MIN})
        EXPECT_EQ(parse_hi_score(format_hi_score(v)), v) << v;
}

TEST(HiScoreFormat, ReadsTheSecondFieldByTheFieldRules) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"hi-score\r\n5000\r\n", 5000},  // no leading blank
        {"best\r\n 5000\r\n", 5000},     // any label
        {"hi-score, 5000\r\n", 5000},    // comma on one line
        {"hi-score\n 5000\n", 5000},     // lone LF
        {"hi-score\r 5000\r", 5000},     // lone CR
        {"\t \"a, quoted\" label\r\n\t  77 junk\r\n", 77},
        {"hi-score\r\n", 0},  // label line only
        {"hi-score", 0},
        {"hi-score\r\n\r\n5000\r\n", 0},  // an empty second field
        {"hi-score\r\nabc\r\n", 0},
        {"hi-score\r\n12.5\r\n", 12},  // ties to even
        {"hi-score\r\n13.5\r\n", 14},
        {"hi-score\r\n13.4999\r\n", 13},
        {"hi-score\r\n12.5001\r\n", 13},
        {"hi-score\r\n-2.5\r\n", -2},
        {"hi-score\r\n-20\r\n", -20},
        {"hi-score\r\n+42x\r\n", 42},
        {"hi-score\r\n&HFF\r\n", 255},
        {"hi-score\r\n&h1a\r\n", 26},
        {"hi-score\r\n&O17\r\n", 15},
        {"hi-score\r\n&O18\r\n", 1},  // 8 is no octal digit
        {"hi-score\r\n&b12\r\n", 1},
        {"hi-score\r\n&b101\r\n", 5},
        {"hi-score\r\n&Q1\r\n", 0},
        {"hi-score\r\n99999999999\r\n", INT32_MAX},  // saturates instead of wrapping
        {"hi-score\r\n-99999999999\r\n", INT32_MIN},
        {"hi-score\r\n&HFFFFFFFFFF\r\n", INT32_MAX},
    };
    for (const auto& c : cases) EXPECT_EQ(parse_hi_score(c.text), c.value) << c.text;
}

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
    rusage before {}, after {};
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
        EXPECT_TRUE(now == valid[0] || now == valid[1] || now == valid[2]) << "after kill " << kill_number << ": " << now;
    }
    write_hi_score(5);
    EXPECT_EQ(contents(), format_hi_score(5));
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

}  // namespace
