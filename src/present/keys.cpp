#include "present/keys.h"

#include <algorithm>

namespace {

// The letters by their place on the keyboard rows; a row's letters have consecutive codes.
constexpr std::string_view letter_rows[] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
constexpr int letter_row_codes[] = {scan_q, scan_a, scan_z};

std::vector<named_key> make_script_keys() {
    std::vector<named_key> keys = {
        {"esc", scan_escape, escape_key},
        {"enter", scan_enter, enter_key},
        {"space", scan_space, " "},
        {"ctrl", scan_ctrl, ""},
        {"up", scan_up, extended_press(ext_up)},
        {"down", scan_down, extended_press(ext_down)},
        {"left", scan_left, extended_press(ext_left)},
        {"right", scan_right, extended_press(ext_right)},
        {"insert", scan_insert, extended_press(ext_insert)},
        {"delete", scan_delete, extended_press(ext_delete)},
        {"home", scan_home, extended_press(ext_home)},
        {"end", scan_end, extended_press(ext_end)},
        {"pageup", scan_page_up, extended_press(ext_page_up)},
        {"pagedown", scan_page_down, extended_press(ext_page_down)},
    };
    for (int n = 1; n <= 10; ++n)
        keys.push_back({"f" + std::to_string(n), scan_f1 + n - 1, extended_press(ext_f1 + n - 1)});
    for (char c = 'a'; c <= 'z'; ++c) keys.push_back({std::string(1, c), scan_code_of_character(c), std::string(1, c)});
    for (char c = '0'; c <= '9'; ++c) keys.push_back({std::string(1, c), scan_code_of_character(c), std::string(1, c)});
    const std::vector<named_key> the_rest = {
        {"minus", scan_minus, "-"},
        {"equals", scan_equals, "="},
        {"backspace", scan_backspace, "\b"},
        {"tab", scan_tab, "\t"},
        {"leftbracket", scan_left_bracket, "["},
        {"rightbracket", scan_right_bracket, "]"},
        {"semicolon", scan_semicolon, ";"},
        {"apostrophe", scan_apostrophe, "'"},
        {"grave", scan_grave, "`"},
        {"leftshift", scan_left_shift, ""},
        {"backslash", scan_backslash, "\\"},
        {"comma", scan_comma, ","},
        {"period", scan_period, "."},
        {"slash", scan_slash, "/"},
        {"rightshift", scan_right_shift, ""},
        {"keypadstar", scan_keypad_star, "*"},
        {"alt", scan_alt, ""},
        {"capslock", scan_caps_lock, ""},
        {"numlock", scan_num_lock, ""},
        {"scrolllock", scan_scroll_lock, ""},
        {"keypadminus", scan_keypad_minus, "-"},
        {"keypad5", scan_keypad_5, ""},
        {"keypadplus", scan_keypad_plus, "+"},
        {"f11", scan_f11, ""},
        {"f12", scan_f12, ""},
    };
    keys.insert(keys.end(), the_rest.begin(), the_rest.end());
    return keys;
}

}  // namespace

int scan_code_of_character(char c) {
    if (c >= '1' && c <= '9') return scan_1 + (c - '1');
    if (c == '0') return scan_0;
    for (int row = 0; row < 3; ++row)
        if (const auto at = letter_rows[row].find(c); at != std::string_view::npos)
            return letter_row_codes[row] + static_cast<int>(at);
    return 0;
}

std::string extended_press(int code) { return std::string("\xff") + static_cast<char>(code); }

const std::vector<named_key>& script_keys() {
    static const std::vector<named_key> keys = make_script_keys();
    return keys;
}

const named_key* find_script_key(std::string_view name) {
    const auto& keys = script_keys();
    const auto it = std::find_if(keys.begin(), keys.end(), [&](const named_key& k) { return k.name == name; });
    return it == keys.end() ? nullptr : &*it;
}

const named_key* script_key_with_scan_code(int scan_code) {
    const auto& keys = script_keys();
    const auto it =
        std::find_if(keys.begin(), keys.end(), [&](const named_key& k) { return k.scan_code == scan_code; });
    return it == keys.end() ? nullptr : &*it;
}

std::string script_key_names() {
    std::string names;
    // The runs from F1 to 9 are named by their ends; every other key one by one.
    bool in_runs = false;
    for (const named_key& k : script_keys()) {
        if (k.name == "f1") {
            in_runs = true;
            names += "f1..f10, a..z, 0..9, ";
        } else if (k.name == "minus") {
            in_runs = false;
        }
        if (!in_runs) names += k.name + ", ";
    }
    return names.substr(0, names.size() - 2);
}
