#include "engine/file_mover.h"
#include "engine/folder_listing.h"
#include "engine/runtime_error.h"
#include "support/faulty_ops.h"
#include "support/file_system.h"
#include "support/spellings.h"
#include "support/temp_folder.h"

#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <set>

namespace vorlund {
namespace {

namespace fs = std::filesystem;
using test::FaultyOps;
using test::readFile;
using test::TempFolder;
using test::writeFile;

std::vector<std::string> namesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(displayPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

int expectError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& error) {
        EXPECT_FALSE(error.description().empty());
        return error.number();
    }
    ADD_FAILURE() << "no error raised";
    return 0;
}

struct MoverSetting
{
    bool acrossVolumes;
    // As during a pass, which keeps both folders open for its moves.
    bool foldersHeld;
};

std::string nameOf(const MoverSetting& setting)
{
    return std::string(setting.acrossVolumes ? "AcrossVolumes" : "OneVolume") +
           (setting.foldersHeld ? "FoldersHeld" : "");
}

void PrintTo(const MoverSetting& setting, std::ostream* out)
{
    *out << nameOf(setting);
}

class FileMoverTest : public ::testing::TestWithParam<MoverSetting>
{
protected:
    void SetUp() override
    {
        fs::create_directory(download);
        fs::create_directory(destination);
        ops.pretendOtherVolume = acrossVolumes();
        if (GetParam().foldersHeld)
            folders = mover.holdFolders(download, destination);
    }
    bool acrossVolumes() const { return GetParam().acrossVolumes; }
    MoveResult move(const std::string& name, const std::string& as = {})
    {
        return mover.move(download / name, destination / (as.empty() ? name : as));
    }

    TempFolder root;
    fs::path download = root / "download";
    fs::path destination = root / "destination";
    FaultyOps ops;
    FileMover mover{ops};
    FolderHold folders;
};

INSTANTIATE_TEST_SUITE_P(, FileMoverTest,
                         ::testing::Values(MoverSetting{false, false}, MoverSetting{true, false},
                                           MoverSetting{false, true}, MoverSetting{true, true}),
                         [](const auto& info) { return nameOf(info.param); });

TEST_P(FileMoverTest, MovesTheFileWholeAndLeavesNothingBehind)
{
    const std::string contents(300'000, 'x');
    writeFile(download / "a.mp3", contents);

    std::vector<std::uintmax_t> progress;
    const MoveResult result = mover.move(download / "a.mp3", destination / "a.mp3",
                                         [&](std::uintmax_t copied, std::uintmax_t total) {
                                             EXPECT_EQ(total, contents.size());
                                             progress.push_back(copied);
                                         });

    // A rename has no progress to tell; a copy ends having told all of it.
    if (acrossVolumes())
        EXPECT_EQ(progress.back(), contents.size());
    else
        EXPECT_TRUE(progress.empty());
    EXPECT_EQ(result.outcome, MoveOutcome::Moved);
    EXPECT_EQ(result.destination, destination / "a.mp3");
    EXPECT_EQ(readFile(destination / "a.mp3"), contents);
    EXPECT_TRUE(namesIn(download).empty());
    EXPECT_EQ(namesIn(destination), std::vector<std::string>{"a.mp3"});
}

TEST_P(FileMoverTest, MovesAReadOnlyFileKeepingItReadOnlyAndItsModificationTime)
{
    writeFile(download / "a.mp3", "song");
    fs::last_write_time(download / "a.mp3",
                        fs::file_time_type::clock::now() - std::chrono::hours(48));
    // As this system's std::filesystem reads it back: MinGW's in whole seconds.
    const auto stamp = fs::last_write_time(download / "a.mp3");
    ASSERT_LT(stamp, fs::file_time_type::clock::now() - std::chrono::hours(47));
    // Read-only as each system knows it: no write permission, or Windows' read-only mark.
    fs::permissions(download / "a.mp3", fs::perms::owner_write | fs::perms::group_write,
                    fs::perm_options::remove);
    const fs::perms readOnly = fs::status(download / "a.mp3").permissions();
    ASSERT_EQ(readOnly & fs::perms::owner_write, fs::perms::none);

    move("a.mp3");

    EXPECT_FALSE(fs::exists(download / "a.mp3"));
    EXPECT_EQ(readFile(destination / "a.mp3"), "song");
    EXPECT_EQ(fs::status(destination / "a.mp3").permissions(), readOnly);
    EXPECT_EQ(fs::last_write_time(destination / "a.mp3"), stamp);
}

TEST_P(FileMoverTest, DropsTheSourceWhenAnIdenticalCopyIsAlreadyThere)
{
    // What a move cut off between its copy and its delete leaves behind.
    writeFile(download / "a.mp3", "same");
    writeFile(destination / "a.mp3", "same");

    EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::AlreadyThere);

    EXPECT_TRUE(namesIn(download).empty());
    EXPECT_EQ(namesIn(destination), std::vector<std::string>{"a.mp3"});
}

TEST_P(FileMoverTest, GivesTheFirstFreeNumberedNameWhenTheNameHoldsOtherContents)
{
    writeFile(download / "a.mp3", "new");
    writeFile(destination / "a.mp3", "old");
    writeFile(destination / "a (2).mp3", "older");

    const MoveResult result = move("a.mp3");

    EXPECT_EQ(result.outcome, MoveOutcome::MovedUnderNewName);
    EXPECT_EQ(result.destination, destination / "a (3).mp3");
    EXPECT_EQ(readFile(destination / "a.mp3"), "old");
    EXPECT_EQ(readFile(destination / "a (2).mp3"), "older");
    EXPECT_EQ(readFile(destination / "a (3).mp3"), "new");
    EXPECT_TRUE(namesIn(download).empty());
}

TEST_P(FileMoverTest, NeverReplacesAFolderOfTheSameName)
{
    writeFile(download / "a.mp3", "new");
    fs::create_directory(destination / "a.mp3");

    EXPECT_EQ(move("a.mp3").destination, destination / "a (2).mp3");
    EXPECT_TRUE(fs::is_directory(destination / "a.mp3"));
}

TEST_P(FileMoverTest, MovesALinkAsALinkAndLeavesItsTargetAlone)
{
    writeFile(root / "target.mp3", "target");
    if (!test::makeSymlink(root / "target.mp3", download / "a.mp3"))
        GTEST_SKIP() << "cannot make symbolic links here";

    move("a.mp3");

    ASSERT_TRUE(fs::is_symlink(destination / "a.mp3"));
    EXPECT_EQ(fs::read_symlink(destination / "a.mp3"), root / "target.mp3");
    EXPECT_FALSE(fs::exists(fs::symlink_status(download / "a.mp3")));
    EXPECT_EQ(readFile(root / "target.mp3"), "target");
}

TEST_P(FileMoverTest, MovesNonAsciiAndLongestPossibleNames)
{
    // UTF-8 made into paths as UTF-8, which a plain string is not on Windows.
    const std::u8string longName = std::u8string(251, u8'l') + u8".mp3";
    for (const std::u8string& name :
         {std::u8string(u8"Björk – Jóga ♫.mp3"), std::u8string(u8"日本語.jpg"), longName}) {
        const std::string text(name.begin(), name.end());
        writeFile(download / name, text);
        mover.move(download / name, destination / name);
        EXPECT_EQ(readFile(destination / name), text) << text;
    }
    EXPECT_TRUE(namesIn(download).empty());
}

TEST_P(FileMoverTest, ALongestNameAlreadyTakenStillFindsAFreeName)
{
    const std::string name = std::string(251, 'l') + ".mp3";
    writeFile(download / name, "new");
    writeFile(destination / name, "old");

    const MoveResult result = move(name);

    EXPECT_EQ(result.outcome, MoveOutcome::MovedUnderNewName);
    EXPECT_EQ(readFile(result.destination), "new");
    EXPECT_EQ(readFile(destination / name), "old");
}

TEST_P(FileMoverTest, AcceptsADoubledSeparatorAtTheJoin)
{
    // A folder that ends in a separator gets another at the join; Windows reads "/" as well.
    int number = 0;
    for (const fs::path::value_type separator :
         std::set<fs::path::value_type>{fs::path::preferred_separator, '/'}) {
        const std::string name = 'a' + std::to_string(++number) + ".mp3";
        const fs::path::string_type doubled(2, separator);
        writeFile(download / name, "song");

        mover.move(download.native() + doubled + fs::path(name).native(),
                   destination.native() + doubled + fs::path(name).native());

        EXPECT_EQ(readFile(destination / name), "song") << name;
    }
    EXPECT_TRUE(namesIn(download).empty());
}

TEST_P(FileMoverTest, NeverReplacesANameThatDiffersOnlyInLetterCase)
{
    writeFile(download / "a.mp3", "new");
    writeFile(destination / "A.MP3", "old");

    const MoveResult result = move("a.mp3");

    // Where letter case makes no other name, "a.mp3" is taken.
    const bool caseIgnored = test::namesIgnoreCase(destination);
    EXPECT_EQ(result.destination, destination / (caseIgnored ? "a (2).mp3" : "a.mp3"));
    EXPECT_EQ(readFile(destination / "A.MP3"), "old");
    EXPECT_EQ(readFile(result.destination), "new");
}

TEST_P(FileMoverTest, ReportsAVanishedSourceAndCreatesNothing)
{
    EXPECT_EQ(expectError([&] { move("gone.mp3"); }), ErrorNumber::FileNotFound);
    EXPECT_TRUE(namesIn(destination).empty());
}

TEST_P(FileMoverTest, ReportsADestinationThatIsAFileAndKeepsTheSource)
{
    writeFile(download / "a.mp3", "song");
    fs::remove(destination);
    writeFile(destination, "not a folder");

    EXPECT_NE(expectError([&] { move("a.mp3"); }), 0);
    EXPECT_EQ(readFile(download / "a.mp3"), "song");
    EXPECT_EQ(readFile(destination), "not a folder");
}

TEST_P(FileMoverTest, RefusesToTreatOneFileUnderTwoSpellingsAsItsOwnDuplicate)
{
    writeFile(download / "a.mp3", "only copy");

    writeFile(download / "a (2).mp3", "also the only copy");

    EXPECT_EQ(expectError([&] { mover.move(download / "a.mp3", download / "." / "a.mp3"); }),
              ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(expectError([&] { mover.move(download / "a (2).mp3", download / "." / "a.mp3"); }),
              ErrorNumber::FileAlreadyExists);
    EXPECT_EQ(readFile(download / "a.mp3"), "only copy");
    EXPECT_EQ(readFile(download / "a (2).mp3"), "also the only copy");
    EXPECT_EQ(namesIn(download), (std::vector<std::string>{"a (2).mp3", "a.mp3"}));
}

TEST_P(FileMoverTest, NeverLosesAFileMovedOntoItselfUnderAnotherSpellingOfItsFolder)
{
    writeFile(download / "a.mp3", "only copy");
    for (const test::Spelling& spelling : test::folderSpellings()) {
        const fs::path folder = spelling.spell(download);
        if (folder.empty())
            continue;
        try {
            mover.move(download / "a.mp3", folder / "a.mp3");
        } catch (const RuntimeError&) {
        }
        EXPECT_EQ(namesIn(download), std::vector<std::string>{"a.mp3"}) << spelling.name;
        EXPECT_EQ(readFile(download / "a.mp3"), "only copy") << spelling.name;
    }
}

TEST_P(FileMoverTest, AFileStillOpenForWritingStaysUntilClosed)
{
    // A copy would lose what the writer adds after it; a rename (where the system allows
    // renaming an open file) takes the writer's file along.
    if (!test::openFilesStayPut && !acrossVolumes())
        GTEST_SKIP() << "here a file open for writing is renamed along with its writer";
    writeFile(download / "a.mp3", "start");
    test::FileInUse writer(download / "a.mp3");

    EXPECT_EQ(expectError([&] { move("a.mp3"); }), ErrorNumber::PermissionDenied);
    EXPECT_EQ(readFile(download / "a.mp3"), "start");
    EXPECT_TRUE(namesIn(destination).empty()) << "no partial file, no temporary file";

    writer.close();
    EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::Moved);
    EXPECT_EQ(readFile(destination / "a.mp3"), "start");
    EXPECT_TRUE(namesIn(download).empty());
}

TEST_P(FileMoverTest, DropsASecondNameOfTheSameFileInAnotherFolder)
{
    // A rename done as link-then-unlink whose unlink failed leaves two names of one file.
    writeFile(destination / "a.mp3", "song");
    fs::create_hard_link(destination / "a.mp3", download / "a.mp3");
    ops.pretendOtherVolume = false;

    EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::AlreadyThere);
    EXPECT_FALSE(fs::exists(download / "a.mp3"));
    EXPECT_EQ(readFile(destination / "a.mp3"), "song");
}

TEST(FileMoverAcrossVolumes, LeavesAFileThatGrewWhileCopiedForLater)
{
    TempFolder root;
    FaultyOps ops;
    ops.pretendOtherVolume = true;
    ops.afterCopy = [](const fs::path& from, const fs::path&) {
        std::ofstream(from, std::ios::app) << " and more";
    };
    writeFile(root / "a.mp3", "start");
    fs::create_directory(root / "out");

    EXPECT_NE(expectError([&] { FileMover(ops).move(root / "a.mp3", root / "out" / "a.mp3"); }), 0);

    EXPECT_EQ(readFile(root / "a.mp3"), "start and more");
    EXPECT_TRUE(namesIn(root / "out").empty()) << "no partial file, no temporary file";
}

TEST(FileMoverAcrossVolumes, TheCopyStaysHiddenUntilItTakesItsName)
{
    TempFolder root;
    FaultyOps ops;
    ops.pretendOtherVolume = true;
    std::vector<std::string> listedDuringCopy{"(the copy was never made)"};
    ops.afterCopy = [&](const fs::path&, const fs::path&) {
        listedDuringCopy = listMatchingFiles(root / "out", {"*"}).names;
    };
    writeFile(root / "a.mp3", "song");
    fs::create_directory(root / "out");

    FileMover(ops).move(root / "a.mp3", root / "out" / "a.mp3");

    EXPECT_TRUE(listedDuringCopy.empty()) << "a folder list showed the temporary copy";
    EXPECT_EQ(listMatchingFiles(root / "out", {"*"}).names, std::vector<std::string>{"a.mp3"})
        << "the moved file must show";
}

TEST(FileMoverAcrossVolumes, AFailedCopyLeavesTheSourceAndNoTemporaryFile)
{
    TempFolder root;
    FaultyOps ops;
    ops.pretendOtherVolume = true;
    ops.afterCopy = [](const fs::path&, const fs::path&) {
        throw std::system_error(std::make_error_code(std::errc::no_space_on_device), "write");
    };
    writeFile(root / "a.mp3", "song");
    fs::create_directory(root / "out");

    EXPECT_EQ(expectError([&] { FileMover(ops).move(root / "a.mp3", root / "out" / "a.mp3"); }),
              ErrorNumber::DiskFull);

    EXPECT_EQ(readFile(root / "a.mp3"), "song");
    EXPECT_TRUE(namesIn(root / "out").empty());
}

#ifdef __linux__
TEST(FileMoverAcrossVolumes, AFileThatReadsBackOtherThanItsSizeNeverTakesItsName)
{
    // The kernel's own files report no size and read as text: a real case of the two differing.
    TempFolder root;
    const fs::path source = "/proc/self/status";

    EXPECT_NE(expectError([&] { FileMover().move(source, root / "status"); }), 0);

    EXPECT_TRUE(namesIn(root.path()).empty());
}
#endif

TEST(FileMoverAcrossVolumes, AMoveCutOffBeforeTheDeleteIsFinishedByTheNextOne)
{
    TempFolder root;
    FaultyOps ops;
    ops.pretendOtherVolume = true;
    ops.beforeRemove = [](const fs::path&) {
        throw std::system_error(std::make_error_code(std::errc::io_error), "unlink");
    };
    writeFile(root / "a.mp3", "song");
    fs::create_directory(root / "out");
    EXPECT_EQ(expectError([&] { FileMover(ops).move(root / "a.mp3", root / "out" / "a.mp3"); }),
              ErrorNumber::DeviceIoError);
    ASSERT_EQ(readFile(root / "out" / "a.mp3"), "song");
    ASSERT_EQ(readFile(root / "a.mp3"), "song");

    ops.beforeRemove = nullptr;
    EXPECT_EQ(FileMover(ops).move(root / "a.mp3", root / "out" / "a.mp3").outcome,
              MoveOutcome::AlreadyThere);
    EXPECT_FALSE(fs::exists(root / "a.mp3"));
    EXPECT_EQ(namesIn(root / "out"), std::vector<std::string>{"a.mp3"});
}

TEST(FileMoverAcrossVolumes, ACopyCutOffMidwayIsCleanedUpAndDoneAgain)
{
    TempFolder root;
    fs::create_directory(root / "out");
    const std::string contents(100'000, 'z');
    writeFile(root / "a.mp3", contents);
    // What a crash in the middle of a copy leaves: a partial file under a temporary name, and
    // one already marked read-only as its source was.
    writeFile(root / "out" / ".vorlund-0123456789abcdef.part", contents.substr(0, 4096));
    writeFile(root / "out" / ".vorlund-fedcba9876543210.part", contents.substr(0, 8192));
    fs::permissions(root / "out" / ".vorlund-fedcba9876543210.part", fs::perms::owner_write,
                    fs::perm_options::remove);

    FaultyOps ops;
    ops.pretendOtherVolume = true;
    FileMover mover(ops);
    EXPECT_EQ(mover.removeInterruptedCopies(root / "out"), 2);
    mover.move(root / "a.mp3", root / "out" / "a.mp3");

    EXPECT_EQ(namesIn(root / "out"), std::vector<std::string>{"a.mp3"});
    EXPECT_EQ(readFile(root / "out" / "a.mp3"), contents);
}

TEST(FileMoverAcrossVolumes, CleanUpLeavesACopyThatIsStillBeingWritten)
{
    TempFolder root;
    const fs::path busy = root / ".vorlund-fedcba9876543210.part";
    writeFile(busy, "half");
    writeFile(root / "keep.mp3", "not a temporary file");
    test::FileInUse copying(busy);

    FileMover mover;
    EXPECT_EQ(mover.removeInterruptedCopies(root.path()), 0);
    // The copy's program is killed: nothing but the end of its lock tells.
    copying.close();
    EXPECT_EQ(mover.removeInterruptedCopies(root.path()), 1);
    EXPECT_EQ(namesIn(root.path()), std::vector<std::string>{"keep.mp3"});
}

// A source folder here and a destination folder on a second file system, which is skipped
// without one.
class RealOtherVolumeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const fs::path other = test::otherVolumeFolder();
        if (other.empty())
            GTEST_SKIP() << "no second file system to move to";
        m_destination.emplace(other);
    }
    const fs::path& destinationFolder() const { return m_destination->path(); }
    fs::path destination(const std::string& name) const { return destinationFolder() / name; }

    TempFolder source;

private:
    std::optional<TempFolder> m_destination;
};

TEST_F(RealOtherVolumeTest, CopiesAReadOnlyFileTellingItsProgressAndDeletesTheSource)
{
    const std::string contents(3 << 20, 'q');
    writeFile(source / "big.zip", contents);
    fs::permissions(source / "big.zip", fs::perms::owner_write, fs::perm_options::remove);

    std::uintmax_t told = 0;
    EXPECT_EQ(FileMover()
                  .move(source / "big.zip", destination("big.zip"),
                        [&](std::uintmax_t copied, std::uintmax_t) { told = copied; })
                  .outcome,
              MoveOutcome::Moved);

    EXPECT_EQ(told, contents.size()) << "a real copy, which tells its progress";
    EXPECT_EQ(readFile(destination("big.zip")), contents);
    EXPECT_TRUE(namesIn(source.path()).empty());
    EXPECT_EQ(namesIn(destinationFolder()), std::vector<std::string>{"big.zip"});
}

TEST_F(RealOtherVolumeTest, MovesALinkAsALink)
{
    writeFile(source / "big.zip", "target");
    if (!test::makeSymlink("big.zip", source / "link.mp3"))
        GTEST_SKIP() << "cannot make symbolic links here";

    FileMover().move(source / "link.mp3", destination("link.mp3"));

    EXPECT_EQ(fs::read_symlink(destination("link.mp3")), "big.zip");
    EXPECT_EQ(namesIn(source.path()), std::vector<std::string>{"big.zip"});
}

TEST(FileMoverAcrossVolumes, ADestinationThatIsFullKeepsTheSourceAndNoPartialFile)
{
    test::SmallVolume full;
    if (!full.mounted())
        GTEST_SKIP() << full.whyNot();
    TempFolder source;
    writeFile(source / "big.mp3", std::string(256 << 10, 'b'));

    EXPECT_EQ(expectError([&] { FileMover().move(source / "big.mp3", full.path() / "big.mp3"); }),
              ErrorNumber::DiskFull);

    EXPECT_EQ(fs::file_size(source / "big.mp3"), 256u << 10);
    EXPECT_TRUE(namesIn(full.path()).empty());
}

TEST(NumberedName, NumbersTheStemAndKeepsTheExtension)
{
    EXPECT_EQ(numberedName("/d/a.mp3", 2), fs::path("/d/a (2).mp3"));
    EXPECT_EQ(numberedName("/d/archive.tar.zip", 3), fs::path("/d/archive.tar (3).zip"));
    EXPECT_EQ(numberedName("/d/noext", 2), fs::path("/d/noext (2)"));
}

TEST(NumberedName, ShortensAStemThatLeavesNoRoomForTheNumber)
{
    // Characters of 4 UTF-8 bytes and of 2 UTF-16 units, so that on either system the cut would
    // fall inside one.
    std::u8string stem;
    while (stem.size() < 4 * 130)
        stem += u8"\U0001F3B5";
    const fs::path numbered = numberedName(fs::path(u8"/d/" + stem + u8".mp3"), 12);

    EXPECT_LE(numbered.filename().native().size(), 255u) << "in the system's own units";
    const std::u8string name = numbered.filename().u8string();
    const std::u8string_view number = u8" (12).mp3";
    ASSERT_TRUE(name.ends_with(number));
    const std::u8string kept = name.substr(0, name.size() - number.size());
    EXPECT_EQ(kept.size() % 4, 0u) << "no character cut in two";
    EXPECT_TRUE(stem.starts_with(kept));
}

} // namespace
} // namespace vorlund
