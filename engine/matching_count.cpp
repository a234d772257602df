#include "engine/matching_count.h"

#include <algorithm>

namespace vorlund {
namespace {

// FNV-1a: two of a million names share a hash about once in thirty million folders.
std::uint64_t hashOf(std::string_view name)
{
    std::uint64_t hash = 14695981039346656037ULL;
    for (const char c : nameKey(name)) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

bool sameFolder(const std::optional<FolderState>& a, const std::optional<FolderState>& b)
{
    return a && b && a->volume == b->volume && a->index == b->index;
}

} // namespace

int MatchingCount::count(const std::filesystem::path& folder,
                         const std::vector<std::string>& patterns)
{
    const std::optional<FolderState> state = folderState(folder);
    if (!keepsUpWith(folder, patterns, state))
        countWhole(folder, patterns, state);
    return static_cast<int>(m_keys.size());
}

bool MatchingCount::keepsUpWith(const std::filesystem::path& folder,
                                const std::vector<std::string>& patterns,
                                const std::optional<FolderState>& state)
{
    if (!m_notifications || m_sawLinks || folder != m_folder || patterns != m_patterns ||
        !sameFolder(state, m_state))
        return false;
    const std::optional<std::vector<std::string>> changed = m_notifications->take();
    if (!changed)
        return false;
    lookAgain(*changed);
    return true;
}

// Listening starts before the reading: a change during the read is then told too, and telling
// it once more changes nothing.
void MatchingCount::countWhole(const std::filesystem::path& folder,
                               const std::vector<std::string>& patterns,
                               const std::optional<FolderState>& state)
{
    m_notifications = std::make_unique<FolderNotifications>(folder);
    m_keys.clear();
    try {
        m_sawLinks = visitMatchingFiles(
            folder, patterns, [this](std::string_view name) { m_keys.push_back(hashOf(name)); });
    } catch (...) {
        m_notifications.reset();
        throw;
    }
    std::sort(m_keys.begin(), m_keys.end());
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    m_folder = folder;
    m_patterns = patterns;
    m_state = state;
    ++m_wholeCounts;
}

// What the system told is only which names to look at again: each counts as it is now.
void MatchingCount::lookAgain(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const std::uint64_t key = hashOf(name);
        const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
        const bool counted = at != m_keys.end() && *at == key;
        const bool listed = listsAsMatchingFile(m_folder, name, m_patterns);
        if (listed && !counted)
            m_keys.insert(at, key);
        else if (!listed && counted)
            m_keys.erase(at);
    }
}

} // namespace vorlund
