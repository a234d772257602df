#include "engine/file_ops.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vorlund {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempFolder;
using test::writeFile;

class HeldFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directory(download);
        fs::create_directory(destination);
    }
    // Puts a new folder in place of `folder`; the old one, with what it holds, goes aside.
    void replace(const fs::path& folder)
    {
        fs::rename(folder, folder.string() + ".old");
        fs::create_directory(folder);
    }

    TempFolder root;
    fs::path download = root / "download";
    fs::path destination = root / "destination";
    FileOps& ops = systemFileOps();
};

TEST_F(HeldFoldersTest, RenamesReachTheHeldFoldersUntilTheHoldEnds)
{
    writeFile(download / "a.mp3", "held");
    writeFile(download / "c.mp3", "held too");
    {
        const FolderHold hold = ops.holdFolders({download.string() + "/", destination});
        replace(download);
        writeFile(download / "a.mp3", "new");
        // Any spelling of the folder part, a doubled separator at the join included.
        EXPECT_FALSE(ops.renameNoReplace(download.string() + "//a.mp3", destination / "a.mp3"));
        EXPECT_EQ(readFile(destination / "a.mp3"), "held");
        EXPECT_EQ(readFile(download / "a.mp3"), "new");
        // Never replaces a taken name through a held folder either.
        EXPECT_EQ(ops.renameNoReplace(destination / "a.mp3", download / "c.mp3"),
                  std::errc::file_exists);
    }
    EXPECT_FALSE(ops.renameNoReplace(download / "a.mp3", destination / "b.mp3"));
    EXPECT_EQ(readFile(destination / "b.mp3"), "new");
    EXPECT_EQ(readFile(download.string() + ".old/c.mp3"), "held too");
}

TEST_F(HeldFoldersTest, FilesOutsideTheHeldFoldersGoByTheirPaths)
{
    fs::create_directories(download / "sub");
    fs::create_directory(download.string() + "2");
    writeFile(download / "sub" / "a.mp3", "in a sub-folder");
    writeFile(download.string() + "2/b.mp3", "in a folder whose name starts alike");
    const FolderHold hold = ops.holdFolders({download, destination});
    fs::rename(download / "sub", root / "sub");
    fs::create_directories(download / "sub");
    writeFile(download / "sub" / "a.mp3", "by its path");

    EXPECT_FALSE(ops.renameNoReplace(download / "sub" / "a.mp3", destination / "a.mp3"));
    EXPECT_FALSE(ops.renameNoReplace(download.string() + "2/b.mp3", destination / "b.mp3"));

    EXPECT_EQ(readFile(destination / "a.mp3"), "by its path");
    EXPECT_EQ(readFile(destination / "b.mp3"), "in a folder whose name starts alike");
}

TEST_F(HeldFoldersTest, AFolderThatCannotBeOpenedIsReachedByItsPath)
{
    const fs::path later = root / "later";
    const FolderHold hold = ops.holdFolders({later, destination});
    fs::create_directory(later);
    writeFile(later / "a.mp3", "song");

    EXPECT_FALSE(ops.renameNoReplace(later / "a.mp3", destination / "a.mp3"));
    EXPECT_EQ(readFile(destination / "a.mp3"), "song");
}

} // namespace
} // namespace vorlund
