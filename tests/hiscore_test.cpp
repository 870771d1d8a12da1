// The best score's file format: what is written, and how any file is read.
#include <gtest/gtest.h>

#include "screens/hiscore_format.h"

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

}  // namespace
