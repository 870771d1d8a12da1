#include "screens/hiscore_format.h"

#include <cstdlib>
#include <limits>

namespace {

constexpr std::int64_t int32_min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t int32_max = std::numeric_limits<std::int32_t>::max();

class field_reader {
public:
    explicit field_reader(std::string_view text) : text_(text) {}

    // Skips the first field, quoted or not, with the comma or line end after it.
    void skip_text_field() {
        skip_blanks();
        if (peek() == '"') {
            ++pos_;
            while (!at_end() && text_[pos_] != '"') ++pos_;
            if (!at_end()) ++pos_;
        }
        while (!at_end() && !at_field_end()) ++pos_;
        consume_field_end();
    }

    // The numeric field's text: up to a comma, line end, blank or tab.
    std::string_view numeric_field() {
        skip_blanks();
        const std::size_t start = pos_;
        while (!at_end() && !at_field_end() && text_[pos_] != ' ' && text_[pos_] != '\t') ++pos_;
        return text_.substr(start, pos_ - start);
    }

private:
    bool at_end() const { return pos_ >= text_.size(); }
    char peek() const { return at_end() ? '\0' : text_[pos_]; }
    bool at_field_end() const { return text_[pos_] == ',' || text_[pos_] == '\r' || text_[pos_] == '\n'; }
    void skip_blanks() {
        while (!at_end() && (text_[pos_] == ' ' || text_[pos_] == '\t')) ++pos_;
    }
    void consume_field_end() {
        if (at_end()) return;
        const char c = text_[pos_++];
        if (c == '\r' && peek() == '\n') ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

std::int32_t saturate(std::int64_t value) {
    return static_cast<std::int32_t>(value < int32_min ? int32_min : value > int32_max ? int32_max : value);
}

// Adds a digit to a magnitude that stops growing once it is past any int32.
std::int64_t push_digit(std::int64_t magnitude, int base, int digit) {
    return magnitude > int32_max + 1 ? magnitude : magnitude * base + digit;
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

std::int32_t parse_based(std::string_view digits, int base) {
    std::int64_t value = 0;
    for (const char c : digits) {
        const int d = digit_value(c);
        if (d >= base) break;
        value = push_digit(value, base, d);
    }
    return saturate(value);
}

std::int32_t parse_decimal(std::string_view field) {
    std::size_t i = 0;
    bool negative = false;
    if (i < field.size() && (field[i] == '+' || field[i] == '-')) negative = field[i++] == '-';
    std::int64_t whole = 0;
    for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) whole = push_digit(whole, 10, field[i] - '0');
    if (i < field.size() && field[i] == '.') {
        // Round to the nearest integer, a tie to the even one, from the exact digits.
        ++i;
        const std::size_t first = i;
        while (i < field.size() && field[i] >= '0' && field[i] <= '9') ++i;
        const std::string_view fraction = field.substr(first, i - first);
        bool above_half = false;
        bool exactly_half = !fraction.empty() && fraction[0] == '5';
        if (!fraction.empty() && fraction[0] > '5') above_half = true;
        for (std::size_t k = 1; k < fraction.size() && exactly_half; ++k) {
            if (fraction[k] != '0') {
                exactly_half = false;
                above_half = true;
            }
        }
        if (above_half || (exactly_half && whole % 2 == 1)) ++whole;
    }
    return saturate(negative ? -whole : whole);
}

}  // namespace

std::string format_hi_score(std::int32_t value) {
    const std::int64_t wide = value;
    std::string text = "hi-score\r\n";
    text += wide < 0 ? '-' : ' ';
    text += std::to_string(wide < 0 ? -wide : wide);
    text += "\r\n";
    return text;
}

std::int32_t parse_hi_score(std::string_view contents) {
    field_reader reader(contents);
    reader.skip_text_field();
    const std::string_view field = reader.numeric_field();
    if (field.size() >= 2 && field[0] == '&') {
        switch (field[1]) {
            case 'H':
            case 'h': return parse_based(field.substr(2), 16);
            case 'O':
            case 'o': return parse_based(field.substr(2), 8);
            case 'B':
            case 'b': return parse_based(field.substr(2), 2);
            default: return 0;
        }
    }
    return parse_decimal(field);
}
