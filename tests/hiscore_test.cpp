#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

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
        std::filesystem::current_path(dir);
    }
    void TearDown() override {
        std::filesystem::current_path(old_dir);
        chmod(dir.c_str(), 0755);
        std::filesystem::remove_all(dir);
    }
    static std::string contents() {
        std::ifstream in("hiscore.txt", std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void put(const std::string& text) { std::ofstream("hiscore.txt", std::ios::binary) << text; }
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

TEST_F(HiScoreFile, ReadOnlyFileStaysAsItWas) {
    put("hi-score\r\n 4321\r\n");
    chmod("hiscore.txt", 0444);
    write_hi_score(9999);
    EXPECT_EQ(contents(), "hi-score\r\n 4321\r\n");
}

TEST_F(HiScoreFile, ReadOnlyBestScoreIsStillRead) {
    if (geteuid() == 0) GTEST_SKIP() << "root may append to any file";
    put("hi-score\r\n 4321\r\n");
    chmod("hiscore.txt", 0444);
    std::int32_t value = 0;
    read_hi_score(value);
    EXPECT_EQ(value, 4321);
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

TEST_F(HiScoreFile, UnwritableFolderLeavesEverythingAlone) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write into any folder";
    put("hi-score\r\n 4321\r\n");
    chmod(dir.c_str(), 0555);
    write_hi_score(9999);
    EXPECT_EQ(contents(), "hi-score\r\n 4321\r\n");
}

}  // namespace
