#pragma once

#include <string>
#include <unordered_set>
#include <vector>

namespace vorlund {

// Keeps each distinct failure reported once for as long as it lasts. A failure lasts while
// every round (one transfer pass) meets it again; a round that does not meet it clears it.
class FailureReport
{
public:
    void beginRound();
    // True when the failure is new and so wants telling.
    bool note(const std::string& failure);
    void endRound();

    // The failures that last, in the order they first came.
    const std::vector<std::string>& current() const { return m_current; }

private:
    std::vector<std::string> m_current;
    std::unordered_set<std::string> m_reported;
    std::unordered_set<std::string> m_seenThisRound;
};

} // namespace vorlund
