#include "engine/folder_listing.h"
#include "engine/runtime_error.h"
#include "support/file_system.h"
#include "support/temp_folder.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace vorlund {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using test::writeFile;

const std::vector<std::string> media{"*.mp3", "*.wma", "*.mpg", "*.zip", "*.jpg", "*.gif"};

// A clock far ahead, so that every folder state looks old enough to trust.
std::chrono::system_clock::time_point farFuture()
{
    return std::chrono::system_clock::now() + std::chrono::hours(24);
}

// Sets the folder's modification time to long ago, so that the next change shows in it even
// within one tick of the file system's clock.
void ageFolder(const fs::path& folder)
{
    test::setLastWriteTime(folder, fs::file_time_type::clock::now() - std::chrono::hours(1000));
}

TEST(ListMatchingFiles, ListsMatchingFilesSortedRegardlessOfCase)
{
    test::TempFolder folder;
    for (const char* name :
         {"b.mp3", "SONG.MP3", "a.Jpg", "c.txt", "x.mp3.dat", "Zebra.gif", "apple.zip"})
        writeFile(folder / name, "x");
    fs::create_directory(folder / "folder.mp3");

    const Listing listing = listMatchingFiles(folder.path(), media);

    EXPECT_EQ(listing.names, (Names{"a.Jpg", "apple.zip", "b.mp3", "SONG.MP3", "Zebra.gif"}));
    EXPECT_FALSE(listing.sawLinks);
}

TEST(ListMatchingFiles, CountsLinksToFilesAndNoticesThem)
{
    test::TempFolder folder;
    writeFile(folder / "b.mp3", "x");
    fs::create_directory(folder / "folder.mp3");
    if (!test::makeSymlink(folder / "b.mp3", folder / "link.mp3"))
        GTEST_SKIP() << "cannot make symbolic links here";
    fs::create_symlink(folder / "missing", folder / "dangling.mp3");
    fs::create_symlink(folder / "folder.mp3", folder / "linked-folder.mp3");

    const Listing listing = listMatchingFiles(folder.path(), media);

    EXPECT_EQ(listing.names, (Names{"b.mp3", "link.mp3"}));
    EXPECT_TRUE(listing.sawLinks);
    EXPECT_FALSE(listMatchingFiles(folder.path(), {"*.mp3.dat"}).sawLinks);
}

TEST(ListSubfolders, ListsFoldersAndLinksToThemSortedRegardlessOfCase)
{
    test::TempFolder folder;
    for (const char* name : {"b", "Alpha", "album.mp3"})
        fs::create_directory(folder / name);
    for (const char* name : {"a.mp3", "Zed"})
        writeFile(folder / name, "x");
#ifndef _WIN32
    fs::create_directory(folder / ".hidden");
#endif
    Names expected{"album.mp3", "Alpha", "b"};
    if (test::makeSymlink(folder / "b", folder / "linked")) {
        fs::create_symlink(folder / "missing", folder / "dangling");
        fs::create_symlink(folder / "Zed", folder / "link to a file");
        expected.push_back("linked");
    }

    EXPECT_EQ(listSubfolders(folder.path()), expected);
}

TEST(Listings, RaiseForSomethingThatIsNoFolder)
{
    test::TempFolder folder;
    writeFile(folder / "file", "x");
    const std::function<void(const fs::path&)> listings[] = {
        [](const fs::path& bad) { listMatchingFiles(bad, media); },
        [](const fs::path& bad) { listSubfolders(bad); },
    };
    for (const auto& list : listings) {
        for (const fs::path& bad : {folder / "missing", folder / "file"}) {
            try {
                list(bad);
                ADD_FAILURE() << "no error for " << bad;
            } catch (const RuntimeError& error) {
                EXPECT_EQ(error.number(), ErrorNumber::PathNotFound);
            }
        }
    }
}

TEST(CachedListing, KeepsTheEntriesOfAFolderThatProvablyDidNotChange)
{
    test::TempFolder folder;
    writeFile(folder / "a.mp3", "x");
    ageFolder(folder.path());
    CachedListing listing(farFuture);

    EXPECT_EQ(listing.read(folder.path(), media), Names{"a.mp3"});
    EXPECT_EQ(listing.read(folder.path(), media), Names{"a.mp3"});
    EXPECT_EQ(listing.folderReads(), 1);

    writeFile(folder / "a.mp3", "new contents leave the folder as it was");
    EXPECT_EQ(listing.read(folder.path(), media), Names{"a.mp3"});
    EXPECT_EQ(listing.folderReads(), 1);
}

TEST(CachedListing, ReadsAFolderThatKeepsNoTimesEveryTime)
{
    // As a FAT drive's root on Windows: its times stay at nothing, whatever comes and goes.
    test::TempFolder folder;
    writeFile(folder / "a.mp3", "x");
    test::setLastWriteTime(folder.path(),
                           fs::file_time_type::clock::from_sys(std::chrono::sys_seconds{}));
    CachedListing listing(farFuture);

    listing.read(folder.path(), media);
    listing.read(folder.path(), media);

    EXPECT_EQ(listing.folderReads(), 2);
}

TEST(CachedListing, ReadsAgainWhenTheFolderOrThePatternsChange)
{
    test::TempFolder folder;
    test::TempFolder other;
    writeFile(folder / "a.mp3", "x");
    writeFile(other / "b.mp3", "x");
    ageFolder(folder.path());
    CachedListing listing(farFuture);
    listing.read(folder.path(), media);

    writeFile(folder / "c.mp3", "x");
    EXPECT_EQ(listing.read(folder.path(), media), (Names{"a.mp3", "c.mp3"}));
    EXPECT_EQ(listing.read(folder.path(), {"c.*"}), Names{"c.mp3"});
    EXPECT_EQ(listing.read(other.path(), {"c.*"}), Names{});
    EXPECT_EQ(listing.folderReads(), 4);
}

TEST(CachedListing, NeverTrustsAFolderThatChangedWithinTheClocksTick)
{
    // With the real clock, a change right after a read may leave the folder's times as they
    // were: the listing must read again all the same.
    test::TempFolder folder;
    CachedListing listing;
    for (int i = 0; i < 20; ++i) {
        listing.read(folder.path(), media);
        writeFile(folder / (std::to_string(i) + ".mp3"), "x");
        EXPECT_EQ(listing.read(folder.path(), media).size(), static_cast<std::size_t>(i + 1));
    }
}

TEST(CachedListing, ReadsAFolderWithLinksEveryTime)
{
    // A link's target can stop being a file with no trace on the folder.
    test::TempFolder folder;
    test::TempFolder targets;
    writeFile(targets / "song", "x");
    if (!test::makeSymlink(targets / "song", folder / "a.mp3"))
        GTEST_SKIP() << "cannot make symbolic links here";
    ageFolder(folder.path());
    CachedListing listing(farFuture);
    EXPECT_EQ(listing.read(folder.path(), media), Names{"a.mp3"});

    fs::remove(targets / "song");
    EXPECT_EQ(listing.read(folder.path(), media), Names{});
}

// Runs random changes on a folder, checking after each that the cached listing gives what a
// full read gives. With `trustOldStates`, the clock runs far ahead and each change is followed
// by ageing the folder, so that unchanged steps come from the cache.
int cachedReadsThroughRandomChanges(bool trustOldStates)
{
    test::TempFolder folder;
    CachedListing listing = trustOldStates ? CachedListing(farFuture) : CachedListing();
    std::mt19937 random(20261206);
    const std::vector<std::string> names{"a.mp3", "B.MP3", "c.jpg", "d.dat", "e.txt", ".f.mp3"};
    constexpr int steps = 400;
    for (int step = 0; step < steps; ++step) {
        const fs::path one = folder / names[random() % names.size()];
        const fs::path two = folder / names[random() % names.size()];
        bool changed = true;
        switch (random() % 4) {
        case 0:
            writeFile(one, "x");
            break;
        case 1:
            changed = fs::remove(one);
            break;
        case 2:
            changed = fs::exists(one) && !fs::exists(two);
            if (changed)
                fs::rename(one, two);
            break;
        default:
            changed = false;
        }
        if (changed && trustOldStates)
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

} // namespace
} // namespace vorlund
