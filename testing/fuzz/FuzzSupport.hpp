#pragma once

// What the fuzz targets share: a property that fails stops the run with the input, as a crash.

#include <cstdio>
#include <cstdlib>

namespace almanoria::fuzz {

inline void Require(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

}  // namespace almanoria::fuzz
