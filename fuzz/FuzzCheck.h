#pragma once

#include <cstdio>
#include <cstdlib>

namespace namoro::fuzz {

// A property every input must keep; a broken one stops the run like a crash, so the fuzzer
// saves the input and the replay fails on it.
inline void check(bool kept, const char* property)
{
    if (!kept) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

} // namespace namoro::fuzz
