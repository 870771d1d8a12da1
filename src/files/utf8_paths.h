#pragma once
// Paths are UTF-8 text wherever the game keeps them. std::filesystem is told
// so through these, since on Windows it would read narrow text in the
// system's older code page.
#include <filesystem>
#include <string>

inline std::filesystem::path path_of(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string text_of(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
