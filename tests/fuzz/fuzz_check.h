// The check the fuzz targets use for properties that must hold on every input.
#pragma once

#include <cstdio>
#include <cstdlib>

/// Stops the run with a message when condition is false, so that libFuzzer records the input
/// as a crash; active in every build type.
#define FUZZ_CHECK(condition)                                                            \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)
