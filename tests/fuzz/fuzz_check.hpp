// What every fuzz target shares: a check that stops the run with the broken property, so
// that libFuzzer keeps the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>

#define KAVELIN_FUZZ_CHECK(condition)                                                       \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (false)
