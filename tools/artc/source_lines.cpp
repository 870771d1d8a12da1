#include "source_lines.h"

#include <charconv>

#include "art_error.h"

namespace artc {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::vector<std::string> words_before_comment(std::string_view text) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && is_blank(text[pos])) {
            ++pos;
        }
        if (pos == text.size() || text[pos] == '#') {
            break;
        }
        const std::size_t start = pos;
        while (pos < text.size() && !is_blank(text[pos])) {
            ++pos;
        }
        words.emplace_back(text.substr(start, pos - start));
    }
    return words;
}

}  // namespace

std::vector<source_line> split_source(std::string_view text) {
    std::vector<source_line> lines;
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++number;
        auto words = words_before_comment(text.substr(start, end - start));
        if (!words.empty()) {
            lines.push_back({number, std::move(words)});
        }
        start = end + 1;
    }
    return lines;
}

int parse_number(const std::string& file, const source_line& line, const std::string& word, int low, int high) {
    int value = 0;
    const char* first = word.data();
    const char* last = first + word.size();
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last) {
        fail_at(file, line.number, "'" + word + "' is not a whole number");
    }
    if (value < low || value > high) {
        fail_at(file, line.number,
                "'" + word + "' is out of range " + std::to_string(low) + ".." + std::to_string(high));
    }
    return value;
}

}  // namespace artc
