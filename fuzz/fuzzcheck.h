#pragma once

#include <cstdio>
#include <cstdlib>

// A broken property ends the run the way a crash does, so that libFuzzer keeps
// the input and the replay of the committed inputs fails.
#define FUZZ_CHECK(condition, ...)                                                                \
    do {                                                                                          \
        if (!(condition)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                                    \
            std::fputc('\n', stderr);                                                             \
            std::abort();                                                                         \
        }                                                                                         \
    } while (false)
