#pragma once
// The entry point every fuzz target defines. libFuzzer calls it with each
// input it makes; in a plain build ReplayMain.cpp calls it with every file of
// the target's corpus, so an input that once crashed keeps being run.

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// Ends the process so the fuzzer (or the replay) reports the input: a
// property of the code under test did not hold.
[[noreturn]] void FuzzPropertyFailed(const char* what);
