#include "engine/folder_listing.h"
#include "engine/runtime_error.h"
#include "support/file_system.h"
#include "support/temp_folder.h"

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

// So that the next change shows in the folder's time even within one tick of its clock.
void ageFolder(const fs::path& folder)
{
    test::setLastWriteTime(folder, fs::file_time_type::clock::now() - std::chrono::hours(1000));
}

TEST(Listings, ListFilesAndFoldersSortedRegardlessOfCaseWithLinksToThem)
{
    test::TempFolder folder;
    for (const char* name : {"b.mp3", "SONG.MP3", "a.Jpg", "c.txt", "x.mp3.dat", "Zed"})
        writeFile(folder / name, "x");
    for (const char* name : {"album.mp3", "Alpha", "b"})
        fs::create_directory(folder / name);
    Names files{"a.Jpg", "b.mp3", "SONG.MP3"};
    Names folders{"album.mp3", "Alpha", "b"};
    const bool links = test::makeSymlink(folder / "b.mp3", folder / "link.mp3");
    if (links) {
        fs::create_symlink(folder / "missing", folder / "dangling.mp3");
        fs::create_symlink(folder / "album.mp3", folder / "linked.mp3");
        fs::create_symlink(folder / "Zed", folder / "link to a file");
        files.insert(files.begin() + 2, "link.mp3");
        folders.push_back("linked.mp3");
    }

    const Listing listing = listMatchingFiles(folder.path(), media);

    EXPECT_EQ(listing.names, files);
    EXPECT_EQ(listing.sawLinks, links) << "a link's target may change with no trace";
    EXPECT_EQ(listSubfolders(folder.path()), folders);
}

TEST(Listings, RaiseForSomethingThatIsNoFolder)
{
    test::TempFolder folder;
    writeFile(folder / "file", "x");
    for (const fs::path& bad : {folder / "missing", folder / "file"}) {
        for (const auto& list : {+[](const fs::path& f) { listMatchingFiles(f, media); },
                                 +[](const fs::path& f) { listSubfolders(f); }}) {
            try {
                list(bad);
                ADD_FAILURE() << "no error for " << bad;
            } catch (const RuntimeError& error) {
                EXPECT_EQ(error.number(), ErrorNumber::PathNotFound);
            }
        }
    }
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

    EXPECT_EQ(listing.read(folder.path(), {"b.*"}), Names{});
    EXPECT_EQ(listing.read(other.path(), {"b.*"}), Names{"b.mp3"});
}

TEST(CachedListing, ReadsEveryTimeAFolderThatKeepsNoTimesOrHoldsLinks)
{
    // A FAT drive's root on Windows keeps its times at nothing, whatever comes and goes; a
    // link's target can stop being a file with no trace on the folder.
    test::TempFolder timeless;
    test::setLastWriteTime(timeless.path(),
                           fs::file_time_type::clock::from_sys(std::chrono::sys_seconds{}));
    CachedListing timelessListing(farFuture);
    timelessListing.read(timeless.path(), media);
    timelessListing.read(timeless.path(), media);
    EXPECT_EQ(timelessListing.folderReads(), 2);

    test::TempFolder folder;
    writeFile(folder / "song", "x");
    if (test::makeSymlink(folder / "song", folder / "a.mp3")) {
        ageFolder(folder.path());
        CachedListing listing(farFuture);
        EXPECT_EQ(listing.read(folder.path(), media), Names{"a.mp3"});
        fs::remove(folder / "song");
        EXPECT_EQ(listing.read(folder.path(), media), Names{});
    }
}

// Random changes, after each of which the cached listing must give what a full read gives. With
// the real clock a change may fall in the folder clock's same tick as the read before it; with
// `trustOldStates` the clock runs ahead and each change is followed by ageing the folder, so that
// unchanged steps come from the cache. Returns how many reads the cache saved.
int cachedReadsThroughRandomChanges(bool trustOldStates)
{
    test::TempFolder folder;
    CachedListing listing = trustOldStates ? CachedListing(farFuture) : CachedListing();
    std::mt19937 random(20261206);
    const Names names{"a.mp3", "B.MP3", "c.jpg", "d.dat", ".f.mp3"};
    constexpr int steps = 300;
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
