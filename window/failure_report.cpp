#include "window/failure_report.h"

namespace vorlund {

void FailureReport::beginRound()
{
    m_seenThisRound.clear();
}

bool FailureReport::note(const std::string& failure)
{
    m_seenThisRound.insert(failure);
    if (!m_reported.insert(failure).second)
        return false;
    m_current.push_back(failure);
    return true;
}

void FailureReport::endRound()
{
    std::erase_if(m_current, [this](const std::string& failure) {
        if (m_seenThisRound.contains(failure))
            return false;
        m_reported.erase(failure);
        return true;
    });
}

} // namespace vorlund
