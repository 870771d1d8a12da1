#pragma once
// Words of scripts and command lines: whole numbers read strictly, and a
// word quoted for a message.
#include <string>
#include <string_view>

// A word of digits only (no sign, at most 18) whose value is in low..high.
bool parse_whole_number(const std::string& word, long long low, long long high, long long& value);

// A word from the input, quoted for a message: at most 80 characters of it.
std::string quoted(std::string_view word);
