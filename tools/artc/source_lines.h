#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace artc {

// One meaningful line of an art source: comments and blank lines are already dropped.
struct source_line {
    int number = 0;                  // 1-based line number in the file
    std::vector<std::string> words;  // whitespace-separated words before any comment
};

// Splits a source into lines of words. A '#' starts a comment when it begins a word,
// so "size 16 16   # note" and "# note" are both comments after their content.
std::vector<source_line> split_source(std::string_view text);

// Parses a whole decimal word in [low, high]; throws file:line otherwise.
int parse_number(const std::string& file, const source_line& line, const std::string& word, int low, int high);

}  // namespace artc
