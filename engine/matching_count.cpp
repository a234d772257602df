#include "engine/matching_count.h"

#include "engine/huge_pages.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <numeric>

namespace vorlund {
namespace {

// The hashes are spread evenly: placed by their top bits, a few to a bucket, only those few are
// left to sort. A million take a fifth of what a comparison sort takes.
void sortSpread(std::vector<std::uint64_t>& keys)
{
    const int bits = std::clamp(static_cast<int>(std::bit_width(keys.size())) - 2, 1, 20);
    const auto bucketOf = [bits](std::uint64_t key) { return key >> (64 - bits); };
    std::vector<std::uint32_t> ends((std::size_t{1} << bits) + 1);
    for (const std::uint64_t key : keys)
        ++ends[bucketOf(key) + 1];
    std::partial_sum(ends.begin(), ends.end(), ends.begin());
    const auto placed = std::make_unique_for_overwrite<std::uint64_t[]>(keys.size());
    preferHugePages(placed.get(), keys.size() * sizeof(std::uint64_t));
    for (const std::uint64_t key : keys)
        placed[ends[bucketOf(key)]++] = key;
    // Each bucket now ends where the next began.
    for (std::size_t bucket = 0, begin = 0; bucket + 1 < ends.size(); begin = ends[bucket++])
        std::sort(placed.get() + begin, placed.get() + ends[bucket]);
    // Copied back, not swapped: the keys keep their room to grow as files arrive.
    std::copy(placed.get(), placed.get() + keys.size(), keys.begin());
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
    // With room for files that arrive: a million keys are not copied at each of the first few.
    const std::size_t files = followed.read->entries.files();
    m_keys.reserve(files + files / 16);
    preferHugePages(m_keys.data(), m_keys.capacity() * sizeof(std::uint64_t));
    m_sawLinks = followed.read->entries.visitMatchingFiles(
        m_patterns, [this](std::string_view name) { m_keys.push_back(nameKeyHash(name)); });
    sortSpread(m_keys);
    m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    m_changes.follow(folder, std::move(followed));
}

// What the system told is only which names to look at again: each counts as it is now.
void MatchingCount::lookAgain(const std::filesystem::path& folder,
                              const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        const std::uint64_t key = nameKeyHash(name);
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
