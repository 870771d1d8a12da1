#pragma once

#include <stdexcept>
#include <string>

namespace artc {

// Every fault in an art source is reported as "file:line: what" so an artist can jump straight to it.
class art_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] inline void fail_at(const std::string& file, int line, const std::string& what) {
    throw art_error(file + ":" + std::to_string(line) + ": " + what);
}

[[noreturn]] inline void fail_in(const std::string& file, const std::string& what) {
    throw art_error(file + ": " + what);
}

}  // namespace artc
