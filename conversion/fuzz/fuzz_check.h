#pragma once

#include <cstdio>
#include <cstdlib>

// Stops the fuzzer with a message when a property does not hold.
#define FUZZ_CHECK(condition) \
  ((condition)                \
       ? void()               \
       : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), std::abort()))
