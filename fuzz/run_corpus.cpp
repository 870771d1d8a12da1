// Feeds saved inputs to a fuzz target without libFuzzer, so that every build
// replays the corpora as regression tests. Arguments are files or folders;
// a folder contributes every regular file in it, in name order. An input
// that takes more than a second fails the run: reading a few kilobytes is a
// matter of microseconds, so that much time means work the bytes do not bound.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

constexpr std::chrono::seconds input_time_limit{1};

std::vector<fs::path> inputs_in(const fs::path& argument) {
    if (!fs::is_directory(argument)) return {argument};
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(argument))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

bool read_file(const fs::path& path, std::vector<std::uint8_t>& bytes) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) return false;
    // Exactly the file's size, so that a read past the end is caught by AddressSanitizer.
    bytes.resize(static_cast<std::size_t>(size));
    std::ifstream in(path, std::ios::binary);
    return static_cast<bool>(in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " FILE_OR_FOLDER...\n";
        return 2;
    }
    std::size_t count = 0;
    std::size_t slow = 0;
    for (int i = 1; i < argc; ++i) {
        for (const fs::path& path : inputs_in(argv[i])) {
            std::vector<std::uint8_t> bytes;
            if (!read_file(path, bytes)) {
                std::cerr << "cannot read " << path << "\n";
                return 1;
            }
            // Named first, so that the input is known when it crashes the target.
            std::cout << path.string() << std::endl;
            const auto start = std::chrono::steady_clock::now();
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            const auto took = std::chrono::steady_clock::now() - start;
            if (took > input_time_limit) {
                std::cerr << path.string() << " took "
                          << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
                ++slow;
            }
            ++count;
        }
    }
    // An empty corpus would pass without testing anything.
    if (count == 0) {
        std::cerr << "no inputs found\n";
        return 1;
    }
    std::cout << "ran " << count << " inputs, " << slow << " too slow\n";
    return slow == 0 ? 0 : 1;
}
