#include "present/words.h"

bool parse_whole_number(const std::string& word, long long low, long long high, long long& value) {
    if (word.empty() || word.size() > 18) return false;
    value = 0;
    for (const char c : word) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high;
}

std::string quoted(std::string_view word) {
    constexpr std::size_t longest = 80;
    if (word.size() <= longest) return "'" + std::string(word) + "'";
    return "'" + std::string(word.substr(0, longest)) + "...' (" + std::to_string(word.size()) + " characters)";
}
