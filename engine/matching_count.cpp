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
    // A folder that a list read since the last pass (at start-up, at a change of folder) is
    // counted from that read, not read again.
    if (std::optional<FollowedRead> kept = m_reads.followKept(folder))
        countRead(folder, std::move(*kept));
    // Reading a name in a folder costs less than looking one up: many changed names are read
    // whole.
    const std::optional<std::vector<std::string>> changed = m_changes.since(folder);
    if (changed && changed->size() <= 64 + m_keys.size() / 4) {
        lookAgain(folder, *changed);
    } else {
        // Should the read fail, the next look must not take up changes after those it missed.
        m_changes.forget();
        countRead(folder, m_reads.readToFollow(folder));
    }
    return static_cast<int>(m_keys.size());
}

// What the system tells from then on starts before the read: a change during it is told once
// more at the next look, which changes nothing.
void MatchingCount::countRead(const std::filesystem::path& folder, FollowedRead followed)
{
    m_keys.clear();
    m_sawLinks = followed.read->entries.visitMatchingFiles(
        m_patterns, [this](std::string_view name) { m_keys.push_back(hashOf(name)); });
    std::sort(m_keys.begin(), m_keys.end());
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    m_changes.follow(folder, std::move(followed));
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
