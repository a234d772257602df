#include "engine/folder_listing.h"
#include "engine/matching_count.h"
#include "support/file_system.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const Names media{"*.mp3", "*.wma", "*.mpg", "*.zip", "*.jpg", "*.gif"};

// More changes than the system keeps for a reader.
#ifdef _WIN32
constexpr int flood = 3'000; // the reader's 64 KiB buffer
#else
constexpr int flood = 17'000; // the 16,384 events Linux queues
#endif

// A clock far ahead, so that every folder state looks old enough to trust.
std::chrono::system_clock::time_point farFuture()
{
    return std::chrono::system_clock::now() + std::chrono::hours(24);
}

// So that the next change shows in the folder's time even within one tick of its clock.
void ageFolder(const fs::path& folder)
{
    setLastWriteTime(folder, fs::file_time_type::clock::now() - std::chrono::hours(1000));
}

// What another program may do to a folder at any moment: write, remove or rename a file (over a
// taken name too), make or remove a folder, or nothing. True when it did something.
bool changeAtRandom(const fs::path& folder, std::mt19937& random)
{
    static const Names names{"a.mp3", "B.MP3", "c.dat", "d.txt", ".e.mp3", "f.Mp3", "g.zip"};
    const auto any = [&] { return folder / names[random() % names.size()]; };
    std::error_code ec;
    switch (random() % 5) {
    case 0:
        return static_cast<bool>(std::ofstream(any()) << 'x'); // unless a folder has the name
    case 1:
        return fs::remove(any(), ec);
    case 2:
        fs::rename(any(), any(), ec);
        return !ec;
    case 3:
        return fs::create_directory(any(), ec);
    default:
        return false;
    }
}

TEST(Listings, ListMediaRegardlessOfLetterCaseWithLinksToThem)
{
    TempFolder folder;
    for (const char* name : {"b.mp3", "SONG.MP3", "a.Jpg", "c.txt", "x.mp3.dat"})
        writeFile(folder / name, "x");
    for (const char* name : {"album.mp3", "Alpha"})
        fs::create_directory(folder / name);
    Names files{"a.Jpg", "b.mp3", "SONG.MP3"};
    Names folders{"album.mp3", "Alpha"};
    if (makeSymlink(folder / "b.mp3", folder / "link.mp3")) {
        fs::create_symlink(folder / "missing", folder / "dangling.mp3");
        fs::create_symlink(folder / "album.mp3", folder / "linked.mp3");
        files.insert(files.begin() + 2, "link.mp3");
        folders.push_back("linked.mp3");
    }

    EXPECT_EQ(listMatchingFiles(folder.path(), media).names, files);
    EXPECT_EQ(listSubfolders(folder.path()), folders);
}

TEST(CachedListing, ReadsAnotherFolderAndAFolderThatKeepsNoTimes)
{
    TempFolder folder;
    TempFolder other;
    writeFile(other / "b.mp3", "x");
    ageFolder(folder.path());
    CachedListing listing(farFuture);
    listing.read(folder.path(), media);
    EXPECT_EQ(listing.read(other.path(), media), Names{"b.mp3"});

    // A FAT drive's root on Windows keeps its times at nothing, whatever comes and goes.
    setLastWriteTime(other.path(), fs::file_time_type::clock::from_sys(std::chrono::sys_seconds{}));
    CachedListing timeless(farFuture);
    timeless.read(other.path(), media);
    timeless.read(other.path(), media);
    EXPECT_EQ(timeless.folderReads(), 2);
}

// With the real clock a change may fall in the folder clock's same tick as the read before it;
// with `trustOldStates` the clock runs ahead and each change is followed by ageing the folder, so
// that unchanged steps come from the cache. Returns how many reads the cache saved.
int cachedReadsThroughRandomChanges(bool trustOldStates)
{
    TempFolder folder;
    CachedListing listing = trustOldStates ? CachedListing(farFuture) : CachedListing();
    std::mt19937 random(20261206);
    constexpr int steps = 300;
    for (int step = 0; step < steps; ++step) {
        if (changeAtRandom(folder.path(), random) && trustOldStates)
            ageFolder(folder.path());
        EXPECT_EQ(listing.read(folder.path(), media), listMatchingFiles(folder.path(), media).names)
            << "after step " << step;
    }
    return steps - listing.folderReads();
}

TEST(CachedListing, GivesWhatAFullReadGivesThroughAnyRunOfChanges)
{
    EXPECT_EQ(cachedReadsThroughRandomChanges(false), 0) << "a young folder is always read";
    EXPECT_GT(cachedReadsThroughRandomChanges(true), 0) << "an old, unchanged folder is not";
}

// Whatever other programs do to the folder between two counts, the count is what a full listing
// gives then; and ordinary changes are followed, not counted whole again.
TEST(MatchingCount, IsWhatAFullListingGivesAfterAnyChanges)
{
    TempFolder root;
    const fs::path folder = root / "destination";
    fs::create_directory(folder);
    std::mt19937 random(20261207);
    MatchingCount count;
    int expectedWholeCounts = 1;
    for (int step = 0; step < 300; ++step) {
        for (int change = random() % 4; change >= 0; --change)
            changeAtRandom(folder, random);
        if (step == 100) {
            // The folder replaced by another under the same path.
            fs::rename(folder, root / "old");
            fs::create_directory(folder);
            writeFile(folder / "new.mp3", "x");
            ++expectedWholeCounts;
        }
        if (step == 299) {
            for (int i = 0; i < flood; ++i)
                writeFile(folder / ("flood" + std::to_string(i) + ".mp3"), "");
            ++expectedWholeCounts;
        }
        ASSERT_EQ(count.count(folder, media), int(listMatchingFiles(folder, media).names.size()))
            << "at step " << step;
    }
    EXPECT_EQ(count.wholeCounts(), expectedWholeCounts);
}

} // namespace
} // namespace vorlund::test
