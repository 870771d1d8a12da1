#pragma once
// A broken invariant in a fuzz target: say which, then abort so that the
// fuzzer (or the corpus run) reports the input as a crash.
#include <cstdio>
#include <cstdlib>

inline void fuzz_require(bool holds, const char* invariant) {
    if (holds) return;
    std::fprintf(stderr, "broken invariant: %s\n", invariant);
    std::abort();
}
