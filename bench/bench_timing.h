#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
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

// Times `ours` and `peer` in rounds that take turns at going first, so that neither always
// meets the disk as the other left it; prints each round and the medians under the two labels.
// Each gives its seconds, or a negative number when it failed; false then.
template <typename Ours, typename Peer>
bool compareInRounds(int rounds, const char* oursLabel, Ours&& ours, const char* peerLabel,
                     Peer&& peer)
{
    std::vector<double> our;
    std::vector<double> their;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            our.push_back(ours());
            their.push_back(peer());
        } else {
            their.push_back(peer());
            our.push_back(ours());
        }
        std::printf("  round %d: %s %.3f s, %s %.3f s\n", round + 1, oursLabel, our.back(),
                    peerLabel, their.back());
        if (our.back() < 0 || their.back() < 0)
            return false;
    }
    std::printf("  median: %s %.3f s, %s %.3f s, %s / %s %.2f\n", oursLabel, median(our), peerLabel,
                median(their), oursLabel, peerLabel, median(our) / median(their));
    return true;
}

} // namespace vorlund::bench
