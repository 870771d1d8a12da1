#include "wav_writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace sfxgen {

std::vector<std::int16_t> to_pcm16(const std::vector<double>& samples) {
    std::vector<std::int16_t> pcm;
    pcm.reserve(samples.size());
    for (const double sample : samples) {
        const double scaled = std::round(sample * 32767.0);
        pcm.push_back(static_cast<std::int16_t>(std::clamp(scaled, -32768.0, 32767.0)));
    }
    return pcm;
}

namespace {

void put_tag(std::vector<std::uint8_t>& out, std::string_view tag) { out.insert(out.end(), tag.begin(), tag.end()); }

// Written byte by byte so the file is little-endian whatever the host is.
void put_u16(std::vector<std::uint8_t>& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put_u32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    put_u16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    put_u16(out, static_cast<std::uint16_t>(value >> 16));
}

}  // namespace

std::vector<std::uint8_t> encode_wav(const std::vector<std::int16_t>& samples, int sample_rate) {
    constexpr std::uint16_t channel_count = 1;
    constexpr std::uint16_t bits_per_sample = 16;
    constexpr std::uint16_t block_align = channel_count * bits_per_sample / 8;
    constexpr std::uint16_t format_pcm = 1;
    constexpr std::uint32_t header_size = 44;

    const auto data_size = static_cast<std::uint32_t>(samples.size() * block_align);
    std::vector<std::uint8_t> out;
    out.reserve(header_size + data_size);

    put_tag(out, "RIFF");
    put_u32(out, header_size - 8 + data_size);
    put_tag(out, "WAVE");

    put_tag(out, "fmt ");
    put_u32(out, 16);
    put_u16(out, format_pcm);
    put_u16(out, channel_count);
    put_u32(out, static_cast<std::uint32_t>(sample_rate));
    put_u32(out, static_cast<std::uint32_t>(sample_rate) * block_align);
    put_u16(out, block_align);
    put_u16(out, bits_per_sample);

    put_tag(out, "data");
    put_u32(out, data_size);
    for (const std::int16_t sample : samples) put_u16(out, static_cast<std::uint16_t>(sample));
    return out;
}

void write_file(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace sfxgen
