#pragma once
// Stops a fuzzer when a property fails, naming the property; libFuzzer then keeps the input
// that broke it.

#include <cstdio>
#include <cstdlib>
#include <string>

inline void Require(bool holds, const char* property, const std::string& detail) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s (%s)\n", property, detail.c_str());
        std::abort();
    }
}
