// The property check's failure path under libFuzzer: abort, which the fuzzer
// reports with the input that caused it.

#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>

void FuzzPropertyFailed(const char* what)
{
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}
