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

} // namespace

int MatchingCount::count(const std::filesystem::path& folder,
                         const std::vector<std::string>& patterns)
{
    if (m_sawLinks || patterns != m_patterns) {
        m_changes.forget();
        m_patterns = patterns;
    }
    // Reading a name in a folder costs less than looking one up: many changed names are read
    // whole.
    const std::optional<std::vector<std::string>> changed = m_changes.since(folder);
    if (changed && changed->size() <= 64 + m_keys.size() / 4)
        lookAgain(folder, *changed);
    else
        countWhole(folder);
    return static_cast<int>(m_keys.size());
}

// Telling a change during the read once more, at the next look, changes nothing.
void MatchingCount::countWhole(const std::filesystem::path& folder)
{
    m_keys.clear();
    try {
        m_sawLinks = visitMatchingFiles(
            folder, m_patterns, [this](std::string_view name) { m_keys.push_back(hashOf(name)); });
    } catch (...) {
        m_changes.forget();
        throw;
    }
    std::sort(m_keys.begin(), m_keys.end());
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    ++m_wholeCounts;
}

// What the system told is only which names to look at again: each counts as it is now.
void MatchingCount::lookAgain(const std::filesystem::path& folder,
                              const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const std::uint64_t key = hashOf(name);
        const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
        const bool counted = at != m_keys.end() && *at == key;
        const bool listed = listsAsMatchingFile(folder, name, m_patterns);
        if (listed && !counted)
            m_keys.insert(at, key);
        else if (!listed && counted)
            m_keys.erase(at);
    }
}

} // namespace vorlund
