#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace sfxgen {

// Rounds samples in [-1, 1] to 16-bit PCM, clamping anything beyond.
std::vector<std::int16_t> to_pcm16(const std::vector<double>& samples);

// A complete RIFF/WAVE file: PCM, 16-bit signed little-endian, mono.
std::vector<std::uint8_t> encode_wav(const std::vector<std::int16_t>& samples, int sample_rate);

// Throws std::runtime_error when the file cannot be written.
void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);

}  // namespace sfxgen
