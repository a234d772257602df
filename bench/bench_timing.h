#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace vorlund::bench {

template <typename Action> double secondsOf(Action&& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace vorlund::bench
