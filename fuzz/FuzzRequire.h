#pragma once

#include <cstdio>
#include <cstdlib>

// A broken promise of the code under test: say which one, and stop so that the fuzzer keeps the input.
// (The builtins stand in for std::source_location, which this clang cannot give with this libstdc++.)
inline void require(bool condition, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (condition)
        return;
    std::fprintf(stderr, "broken promise at %s:%d\n", file, line);
    std::abort();
}
