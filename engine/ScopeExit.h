#pragma once

#include <utility>

// Runs a clean-up on every way out of a scope, errors included.
template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f)
        : FFunc(std::move(f))
    {
    }
    ~ScopeExit() { FFunc(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

private:
    F FFunc;
};
