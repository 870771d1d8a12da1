#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace artc {

std::string read_text_file(const std::filesystem::path& path);

void write_binary_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace artc
