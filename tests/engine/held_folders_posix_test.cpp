#include "engine/file_ops.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace vorlund {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

// A pass holds its two folders open: a folder renamed away and replaced by a new one meanwhile
// still gives up the files the pass listed, and a file elsewhere is never taken for one of them.
TEST(HeldFolders, RenamesReachTheHeldFoldersAndNothingElse)
{
    test::TempFolder root;
    const fs::path download = root / "download";
    const fs::path destination = root / "destination";
    fs::create_directories(download / "sub");
    fs::create_directories(root / "download2");
    fs::create_directory(destination);
    writeFile(download / "a.mp3", "held");
    writeFile(download / "taken.mp3", "held too");
    writeFile(download / "sub" / "b.mp3", "in a sub-folder");
    writeFile(root / "download2" / "c.mp3", "in a folder whose name starts alike");
    FileOps& ops = systemFileOps();
    {
        const FolderHold hold = ops.holdFolders({download.string() + "/", destination});
        fs::rename(download, root / "old");
        fs::create_directories(download / "sub");
        writeFile(download / "a.mp3", "new");
        writeFile(download / "sub" / "b.mp3", "by its path");

        // Any spelling of the folder part, a doubled separator at the join included.
        EXPECT_FALSE(ops.renameNoReplace(download.string() + "//a.mp3", destination / "a.mp3"));
        EXPECT_FALSE(ops.renameNoReplace(download / "sub" / "b.mp3", destination / "b.mp3"));
        EXPECT_FALSE(ops.renameNoReplace(root / "download2" / "c.mp3", destination / "c.mp3"));
        EXPECT_EQ(ops.renameNoReplace(destination / "a.mp3", download / "taken.mp3"),
                  std::errc::file_exists);
    }
    EXPECT_EQ(readFile(destination / "a.mp3"), "held");
    EXPECT_EQ(readFile(destination / "b.mp3"), "by its path");
    EXPECT_EQ(readFile(destination / "c.mp3"), "in a folder whose name starts alike");
    EXPECT_EQ(readFile(root / "old" / "taken.mp3"), "held too");
    EXPECT_EQ(readFile(download / "a.mp3"), "new");
    EXPECT_FALSE(ops.renameNoReplace(download / "a.mp3", destination / "d.mp3"))
        << "the hold ended: paths are looked up again";
    EXPECT_EQ(readFile(destination / "d.mp3"), "new");
}

} // namespace
} // namespace vorlund
