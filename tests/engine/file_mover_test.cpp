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
#include <set>

namespace vorlund {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;
using test::readFile;
using test::TempFolder;
using test::writeFile;

Names namesIn(const fs::path& folder)
{
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(displayPath(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

int errorOf(const std::function<void()>& action)
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
    bool foldersHeld; // as during a pass
};

class FileMoverTest : public ::testing::TestWithParam<MoverSetting>
{
protected:
    void SetUp() override
    {
        fs::create_directory(download);
        fs::create_directory(destination);
        ops.pretendOtherVolume = GetParam().acrossVolumes;
        if (GetParam().foldersHeld)
            folders = mover.holdFolders(download, destination);
    }
    MoveResult move(const fs::path& name)
    {
        return mover.move(download / name, destination / name);
    }

    TempFolder root;
    fs::path download = root / "download";
    fs::path destination = root / "destination";
    test::FaultyOps ops;
    FileMover mover{ops};
    FolderHold folders;
};

INSTANTIATE_TEST_SUITE_P(, FileMoverTest,
                         ::testing::Values(MoverSetting{false, false}, MoverSetting{true, false},
                                           MoverSetting{false, true}, MoverSetting{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.acrossVolumes ? "Across" : "Within") +
                                    (info.param.foldersHeld ? "Held" : "");
                         });

TEST_P(FileMoverTest, MovesAReadOnlyFileWholeWithItsTime)
{
    const std::string contents(300'000, 'x');
    writeFile(download / "a.mp3", contents);
    fs::last_write_time(download / "a.mp3",
                        fs::file_time_type::clock::now() - std::chrono::hours(48));
    fs::permissions(download / "a.mp3", fs::perms::owner_write | fs::perms::group_write,
                    fs::perm_options::remove);
    const fs::file_status status = fs::status(download / "a.mp3");
    const auto stamp = fs::last_write_time(download / "a.mp3");
    Names listedDuringCopy;
    ops.afterCopy = [&](const fs::path&, const fs::path&) {
        listedDuringCopy = listMatchingFiles(destination, {"*"}).names;
    };
    std::uintmax_t told = 0;

    const MoveResult result =
        mover.move(download / "a.mp3", destination / "a.mp3",
                   [&](std::uintmax_t copied, std::uintmax_t) { told = copied; });

    EXPECT_EQ(result.outcome, MoveOutcome::Moved);
    EXPECT_EQ(told, GetParam().acrossVolumes ? contents.size() : 0u);
    EXPECT_TRUE(listedDuringCopy.empty()) << "a folder list showed the temporary copy";
    EXPECT_EQ(readFile(destination / "a.mp3"), contents);
    EXPECT_EQ(fs::status(destination / "a.mp3").permissions(), status.permissions());
    EXPECT_EQ(fs::last_write_time(destination / "a.mp3"), stamp);
    EXPECT_EQ(namesIn(download), Names{});
    EXPECT_EQ(namesIn(destination), Names{"a.mp3"});
}

TEST_P(FileMoverTest, NeverReplacesATakenName)
{
    const std::string longest = std::string(251, 'l') + ".mp3";
    const bool caseIgnored = test::namesIgnoreCase(destination);
    struct Case
    {
        std::string name;
        std::vector<std::pair<std::string, std::string>> taken; // contents "/": a folder
        std::string arrivesAs;
    };
    const std::vector<Case> cases = {
        {"same.mp3", {{"same.mp3", "new same.mp3"}}, "same.mp3"},
        {"b.mp3", {{"b.mp3", "old"}, {"b (2).mp3", "older"}}, "b (3).mp3"},
        {"c.tar.zip", {{"c.tar.zip", "old"}}, "c.tar (2).zip"},
        {"d.mp3", {{"d.mp3", "/"}}, "d (2).mp3"},
        {"e.mp3", {{"E.MP3", "old"}}, caseIgnored ? "e (2).mp3" : "e.mp3"},
        {longest, {{longest, "old"}}, numberedName(longest, 2).string()},
    };
    for (const Case& test : cases) {
        writeFile(download / test.name, "new " + test.name);
        for (const auto& [name, contents] : test.taken) {
            if (contents == "/")
                fs::create_directory(destination / name);
            else
                writeFile(destination / name, contents);
        }

        const MoveResult result = move(test.name);

        EXPECT_EQ(result.destination, destination / test.arrivesAs);
        EXPECT_EQ(readFile(result.destination), "new " + test.name);
        for (const auto& [name, contents] : test.taken) {
            if (contents != "/") {
                EXPECT_EQ(readFile(destination / name), contents) << name;
            }
        }
    }
    EXPECT_EQ(namesIn(download), Names{});
}

TEST_P(FileMoverTest, MovesLinksAndNamesOfAnyKind)
{
    // UTF-8 made into paths as UTF-8, which a plain string is not on Windows.
    for (const fs::path& name : {fs::path(u8"Björk – Jóga ♫.mp3"), fs::path(u8"日本語.jpg"),
                                 fs::path(std::string(251, 'l') + ".mp3")}) {
        writeFile(download / name, "song");
        move(name);
        EXPECT_EQ(readFile(destination / name), "song");
    }
    // A folder that ends in a separator gets another at the join; Windows reads "/" as well.
    for (const fs::path::value_type separator :
         std::set<fs::path::value_type>{fs::path::preferred_separator, '/'}) {
        const fs::path::string_type doubled(2, separator);
        writeFile(download / "joined.mp3", "song");
        mover.move(download.native() + doubled + fs::path("joined.mp3").native(),
                   destination.native() + doubled + fs::path("joined.mp3").native());
        EXPECT_EQ(readFile(destination / "joined.mp3"), "song");
        fs::remove(destination / "joined.mp3");
    }
    writeFile(root / "target.mp3", "target");
    if (test::makeSymlink(root / "target.mp3", download / "link.mp3")) {
        move("link.mp3");
        EXPECT_EQ(fs::read_symlink(destination / "link.mp3"), root / "target.mp3");
        EXPECT_EQ(readFile(root / "target.mp3"), "target");
    }
    EXPECT_EQ(namesIn(download), Names{});
}

TEST_P(FileMoverTest, AFailedMoveKeepsTheSourceAndCreatesNothing)
{
    writeFile(download / "a.mp3", "song");
    EXPECT_EQ(errorOf([&] { move("gone.mp3"); }), ErrorNumber::FileNotFound);
    EXPECT_NE(errorOf([&] { mover.move(download / "a.mp3", root / "missing" / "a.mp3"); }), 0);
    fs::remove(destination);
    writeFile(destination, "not a folder");
    EXPECT_NE(errorOf([&] { move("a.mp3"); }), 0);

    EXPECT_EQ(readFile(download / "a.mp3"), "song");
    EXPECT_EQ(readFile(destination), "not a folder");
    EXPECT_EQ(namesIn(root.path()), (Names{"destination", "download"}));
}

TEST_P(FileMoverTest, NeverLosesAFileMovedOntoItselfUnderAnotherSpellingOfItsFolder)
{
    // The second file's numbered name is the file itself: it must not be dropped as its own
    // duplicate.
    writeFile(download / "a.mp3", "only copy");
    writeFile(download / "a (2).mp3", "also the only copy");
    for (const test::Spelling& spelling : test::folderSpellings()) {
        const fs::path folder = spelling.spell(download);
        if (folder.empty())
            continue;
        for (const char* name : {"a.mp3", "a (2).mp3"}) {
            try {
                mover.move(download / name, folder / "a.mp3");
            } catch (const RuntimeError&) {
            }
        }
        EXPECT_EQ(namesIn(download), (Names{"a (2).mp3", "a.mp3"})) << spelling.name;
        EXPECT_EQ(readFile(download / "a.mp3"), "only copy") << spelling.name;
        EXPECT_EQ(readFile(download / "a (2).mp3"), "also the only copy") << spelling.name;
    }
}

TEST_P(FileMoverTest, AFileStillOpenForWritingStaysUntilClosed)
{
    // A copy would lose what the writer adds after it; a rename (where the system allows
    // renaming an open file) takes the writer's file along.
    if (!test::openFilesStayPut && !GetParam().acrossVolumes)
        GTEST_SKIP() << "here a file open for writing is renamed along with its writer";
    writeFile(download / "a.mp3", "start");
    test::FileInUse writer(download / "a.mp3");

    EXPECT_EQ(errorOf([&] { move("a.mp3"); }), ErrorNumber::PermissionDenied);
    EXPECT_EQ(namesIn(destination), Names{}) << "no partial file, no temporary file";

    writer.close();
    EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::Moved);
    EXPECT_EQ(readFile(destination / "a.mp3"), "start");
}

class AcrossVolumesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ops.pretendOtherVolume = true;
        writeFile(root / "a.mp3", "start");
        fs::create_directory(out);
    }
    MoveResult move() { return FileMover(ops).move(root / "a.mp3", out / "a.mp3"); }

    TempFolder root;
    fs::path out = root / "out";
    test::FaultyOps ops;
};

TEST_F(AcrossVolumesTest, AFileThatGrewWhileCopiedStaysForLater)
{
    ops.afterCopy = [](const fs::path& from, const fs::path&) {
        std::ofstream(from, std::ios::app) << " and more";
    };

    EXPECT_NE(errorOf([&] { move(); }), 0);

    EXPECT_EQ(readFile(root / "a.mp3"), "start and more");
    EXPECT_EQ(namesIn(out), Names{}) << "no partial file, no temporary file";
}

TEST_F(AcrossVolumesTest, AMoveCutOffBeforeTheDeleteIsFinishedByTheNextOne)
{
    ops.beforeRemove = [](const fs::path&) {
        throw std::system_error(std::make_error_code(std::errc::io_error), "unlink");
    };
    EXPECT_EQ(errorOf([&] { move(); }), ErrorNumber::DeviceIoError);
    ASSERT_EQ(readFile(out / "a.mp3"), "start");

    ops.beforeRemove = nullptr;
    EXPECT_EQ(move().outcome, MoveOutcome::AlreadyThere);
    EXPECT_FALSE(fs::exists(root / "a.mp3"));
    EXPECT_EQ(namesIn(out), Names{"a.mp3"});
}

TEST_F(AcrossVolumesTest, RemovesCopiesThatACrashCutOffButNotOneStillBeingWritten)
{
    const fs::path stale = out / ".vorlund-0123456789abcdef.part";
    const fs::path staleReadOnly = out / ".vorlund-fedcba9876543210.part";
    const fs::path busy = out / ".vorlund-00000000000000bb.part";
    for (const fs::path& part : {stale, staleReadOnly, busy})
        writeFile(part, "half");
    fs::permissions(staleReadOnly, fs::perms::owner_write, fs::perm_options::remove);
    writeFile(out / "keep.mp3", "not a temporary file");
    test::FileInUse copying(busy);

    FileMover mover;
    EXPECT_EQ(mover.removeInterruptedCopies(out), 2);
    // The copy's program is killed: nothing but the end of its lock tells.
    copying.close();
    EXPECT_EQ(mover.removeInterruptedCopies(out), 1);
    move();
    EXPECT_EQ(namesIn(out), (Names{"a.mp3", "keep.mp3"}));
}

#ifdef __linux__
TEST(FileMover, AFileThatReadsBackOtherThanItsSizeNeverTakesItsName)
{
    // The kernel's own files report no size and read as text: a real case of the two differing.
    TempFolder root;

    EXPECT_NE(errorOf([&] { FileMover().move("/proc/self/status", root / "status"); }), 0);

    EXPECT_EQ(namesIn(root.path()), Names{});
}
#endif

TEST(FileMover, MovesToARealOtherVolume)
{
    const fs::path other = test::otherVolumeFolder();
    if (other.empty())
        GTEST_SKIP() << "no second file system to move to";
    TempFolder source;
    TempFolder destination(other);
    const std::string contents(3 << 20, 'q');
    writeFile(source / "big.zip", contents);
    fs::permissions(source / "big.zip", fs::perms::owner_write, fs::perm_options::remove);
    std::uintmax_t told = 0;

    EXPECT_EQ(FileMover()
                  .move(source / "big.zip", destination / "big.zip",
                        [&](std::uintmax_t copied, std::uintmax_t) { told = copied; })
                  .outcome,
              MoveOutcome::Moved);

    EXPECT_EQ(told, contents.size()) << "a real copy, which tells its progress";
    EXPECT_EQ(readFile(destination / "big.zip"), contents);
    EXPECT_EQ(namesIn(source.path()), Names{});
    EXPECT_EQ(namesIn(destination.path()), Names{"big.zip"});
}

TEST(FileMover, AFullDestinationKeepsTheSourceAndNoPartialFile)
{
    test::SmallVolume full;
    if (!full.mounted())
        GTEST_SKIP() << full.whyNot();
    TempFolder source;
    writeFile(source / "big.mp3", std::string(256 << 10, 'b'));

    EXPECT_EQ(errorOf([&] { FileMover().move(source / "big.mp3", full.path() / "big.mp3"); }),
              ErrorNumber::DiskFull);

    EXPECT_EQ(fs::file_size(source / "big.mp3"), 256u << 10);
    EXPECT_EQ(namesIn(full.path()), Names{});
}

TEST(NumberedName, ShortensALongStemWithoutCuttingACharacter)
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
