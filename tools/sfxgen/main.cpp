// sfxgen: turns a sound source from art/sounds/ into the game's WAV file.
#include <cstdio>
#include <fstream>
#include <sstream>

#include "mixdown.h"
#include "sfx_parser.h"
#include "wav_writer.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: sfxgen SOURCE.sfx OUTPUT.WAV\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return usage();
    const std::string source_path = argv[1];
    const std::string output_path = argv[2];

    std::ifstream source(source_path, std::ios::binary);
    if (!source) {
        std::fprintf(stderr, "%s: cannot open\n", source_path.c_str());
        return 1;
    }
    std::ostringstream text;
    text << source.rdbuf();

    try {
        const auto sound = sfxgen::parse_sfx(text.str());
        const auto samples = sfxgen::render_sound(sound);
        sfxgen::write_file(output_path, sfxgen::encode_wav(sfxgen::to_pcm16(samples), sfxgen::sample_rate));
        std::printf("%s: %.3f s\n", output_path.c_str(), static_cast<double>(samples.size()) / sfxgen::sample_rate);
    } catch (const sfxgen::sfx_parse_error& error) {
        if (error.line() > 0) {
            std::fprintf(stderr, "%s:%d: %s\n", source_path.c_str(), error.line(), error.what());
        } else {
            std::fprintf(stderr, "%s: %s\n", source_path.c_str(), error.what());
        }
        return 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", source_path.c_str(), error.what());
        return 1;
    }
    return 0;
}
