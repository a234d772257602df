#include "engine/file_mover.h"
#include "engine/folder_identity.h"
#include "engine/path_text.h"
#include "engine/runtime_error.h"
#include "engine/system_path.h"
#include "support/faulty_ops.h"
#include "support/file_system.h"

#include <algorithm>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif
#include <fstream>
#include <gtest/gtest.h>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Every name in the folder, hidden ones (a temporary copy) included.
Names namesIn(const fs::path& folder)
{
    Names names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(pathText(entry.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

// A folder as given and as the system also reads it: separators, "." and "..", letter case, and
// on Windows forward slashes, short (8.3) names and a "\\?\" device path.
std::vector<fs::path> folderSpellings(const fs::path& folder)
{
    using Text = fs::path::string_type;
    const Text text = folder.native();
    const auto separator = fs::path::preferred_separator;
    Text otherCase = text;
    for (auto& c : otherCase)
        c = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ? c ^ 0x20 : c;
    Text slashes = text;
    std::replace(slashes.begin(), slashes.end(), separator, fs::path::value_type('/'));
    std::vector<fs::path> spellings{folder, text + Text(2, separator), folder / ".",
                                    folder / ".." / folder.filename()};
    for (const Text& other :
         {namesIgnoreCase(folder) ? otherCase : text, slashes, shortNameOf(folder).native(),
          folder.has_root_name() ? fs::path("\\\\?\\").native() + text : text}) {
        if (!other.empty() && other != text)
            spellings.push_back(other);
    }
    return spellings;
}

// Within a volume and across (a real second one where the run names one), folders held as in a
// pass.
class FileMoverTest : public ::testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        fs::create_directory(download);
        fs::create_directory(destination);
        ops.pretendOtherVolume = across && otherVolume.empty();
        opened = mover.openFolders(download, destination);
    }
    MoveResult move(const fs::path& name)
    {
        return mover.move(download / name, destination / name,
                          [this](std::uintmax_t copied, std::uintmax_t) { told = copied; });
    }

    const bool across = GetParam();
    const fs::path otherVolume = otherVolumeFolder();
    TempFolder root;
    TempFolder away{across && !otherVolume.empty() ? otherVolume : root.path()};
    fs::path download = root / "download";
    fs::path destination = away / "destination";
    FaultyOps ops;
    FileMover mover{ops};
    OpenFolders opened;
    std::uintmax_t told = 0;
};

INSTANTIATE_TEST_SUITE_P(, FileMoverTest, ::testing::Bool());

TEST_P(FileMoverTest, MovesAnyFileWholeWithItsTimeAndPermissions)
{
    const std::string contents(300'000, 'x');
    // UTF-8 made into paths as UTF-8, which a plain string is not on Windows.
    for (const fs::path& name : {fs::path(u8"Björk – Jóga ♫.mp3"), fs::path(u8"日本語.jpg"),
                                 fs::path(std::string(251, 'l') + ".mp3")}) {
        writeFile(download / name, contents);
        fs::last_write_time(download / name,
                            fs::file_time_type::clock::now() - std::chrono::hours(48));
        fs::permissions(download / name, fs::perms::owner_write | fs::perms::group_write,
                        fs::perm_options::remove);
        const fs::perms permissions = fs::status(download / name).permissions();
        const auto time = fs::last_write_time(download / name);
#ifndef _WIN32
        // Where a browser or wget --xattr says the file came from, kept where both volumes can.
        const std::string origin = "https://example.org/" + name.string();
        const char* const key = "user.xdg.origin.url";
        const bool keeps =
            ::setxattr(destination.c_str(), key, "", 0, 0) == 0 &&
            ::setxattr((download / name).c_str(), key, origin.data(), origin.size(), 0) == 0;
#endif

        EXPECT_EQ(move(name).outcome, MoveOutcome::Moved);
        EXPECT_EQ(readFile(destination / name), contents);
        EXPECT_EQ(fs::status(destination / name).permissions(), permissions);
        EXPECT_EQ(fs::last_write_time(destination / name), time);
#ifndef _WIN32
        std::string kept(origin.size(), '\0');
        kept.resize(std::max<ssize_t>(
            0, ::getxattr((destination / name).c_str(), key, kept.data(), kept.size())));
        EXPECT_EQ(kept, keeps ? origin : "");
#endif
    }
    EXPECT_EQ(told, across ? contents.size() : 0u);
    // A folder that ends in a separator gets another at the join; Windows reads "/" as well.
    for (const auto separator : {fs::path::preferred_separator, fs::path::value_type('/')}) {
        const fs::path name = std::to_string(separator) + ".mp3";
        const fs::path::string_type join = fs::path::string_type(2, separator) + name.native();
        writeFile(download / name, "song");
        mover.move(download.native() + join, destination.native() + join);
        EXPECT_EQ(readFile(destination / name), "song");
    }
    writeFile(root / "target.mp3", "target");
    if (makeSymlink(root / "target.mp3", download / "link.mp3")) {
        move("link.mp3");
        EXPECT_EQ(fs::read_symlink(destination / "link.mp3"), root / "target.mp3");
        EXPECT_EQ(readFile(root / "target.mp3"), "target");
    }
    EXPECT_EQ(namesIn(download), Names{});
    Names listed = FolderEntries(destination).matchingFiles({"*"}).names;
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, namesIn(destination)) << "a moved file is hidden, or a temporary copy left";
}

TEST_P(FileMoverTest, NeverReplacesATakenName)
{
    const std::string longest = std::string(251, 'l') + ".mp3";
    std::string accents;
    for (int i = 0; i < 125; ++i)
        accents += "\u00e9";
    struct Case
    {
        std::string name;
        std::vector<std::pair<std::string, std::string>> taken;
        std::string arrivesAs;
    };
    std::vector<Case> cases = {
        {"same.mp3", {{"same.mp3", "new same.mp3"}}, "same.mp3"},
        {"size.mp3", {{"size.mp3", "new size.mp4"}}, "size (2).mp3"},
        {"b.mp3", {{"b.mp3", "old"}, {"b (2).mp3", "older"}}, "b (3).mp3"},
        {"c.tar.zip", {{"c.tar.zip", "old"}}, "c.tar (2).zip"},
        {"e.mp3", {{"E.MP3", "old"}}, namesIgnoreCase(destination) ? "e (2).mp3" : "e.mp3"},
        {longest, {{longest, "old"}}, std::string(247, 'l') + " (2).mp3"},
    };
    // The same whatever the file IDs say: some file systems give one ID to different files.
    ops.oneIdForAll = true;
    // Where names are bytes, 255 of UTF-8: the cut keeps whole characters.
    if (sizeof(fs::path::value_type) == 1)
        cases.push_back(
            {accents + "x.mp3", {{accents + "x.mp3", "old"}}, accents.substr(0, 246) + " (2).mp3"});
    for (const Case& test : cases) {
        writeFile(download / pathFromText(test.name), "new " + test.name);
        for (const auto& [name, contents] : test.taken)
            writeFile(destination / pathFromText(name), contents);

        const fs::path arrived = destination / pathFromText(test.arrivesAs);
        EXPECT_EQ(move(pathFromText(test.name)).destination, arrived);
        EXPECT_EQ(readFile(arrived), "new " + test.name);
        for (const auto& [name, contents] : test.taken)
            EXPECT_EQ(readFile(destination / pathFromText(name)), contents) << name;
    }
    EXPECT_EQ(namesIn(download), Names{});
}

// A download still being written stays, quietly, until its writer lets go, whatever the volumes:
// moved, it would go on growing in the destination (or, deleted, lose what comes after a copy).
TEST_P(FileMoverTest, AFileStillBeingWrittenStaysUntilDone)
{
    writeFile(download / "a.mp3", "start");
    {
        std::ofstream writer(download / "a.mp3", std::ios::app);
        EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::StillBeingWritten);
        EXPECT_EQ(namesIn(destination), Names{}) << "no partial file, no temporary file";
    }
#ifndef _WIN32
    // A writer that asks for the file during its rename or its copy, and waits for the lease.
    const auto askToWrite = [&] {
        ::close(::open((download / "a.mp3").c_str(), O_WRONLY | O_NONBLOCK));
        return std::error_code();
    };
    if (across)
        ops.duringCopy = askToWrite;
    else
        ops.beforeRename = [&](const fs::path&) { return askToWrite(); };
    EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::StillBeingWritten);
    EXPECT_EQ(namesIn(destination), Names{}) << "no partial file, no temporary file";
    ops.duringCopy = nullptr;
    ops.beforeRename = nullptr;
#endif
    EXPECT_EQ(move("a.mp3").outcome, MoveOutcome::Moved);
    EXPECT_EQ(readFile(destination / "a.mp3"), "start");
    // The source goes only once the copy's name is on disk.
    EXPECT_EQ(ops.steps, across ? (Names{"flushName", "remove"}) : Names{});
}

#ifdef _WIN32
// The Mark of the Web goes with a download to another volume, and is on the copy before the copy
// takes its name. Wine, without streams, keeps one as a file of its name, and is told it is one.
TEST(FileMover, KeepsTheMarkOfTheWebAcrossVolumes)
{
    TempFolder folder;
    const std::wstring mark = L":Zone.Identifier:$DATA";
    FaultyOps ops;
    ops.pretendOtherVolume = true;
    ops.extraParts = {mark};
    std::string onTheCopy;
    ops.beforeRename = [&](const fs::path& from) {
        if (from.filename().native().starts_with(L".vorlund-"))
            onTheCopy = readFile(from.native() + mark);
        return std::error_code();
    };
    fs::create_directories(folder / "destination");
    writeFile(folder / "a.zip", "zip");
    writeFile((folder / "a.zip").native() + mark, "[ZoneTransfer]\r\nZoneId=3");
    FileMover(ops).move(folder / "a.zip", folder / "destination" / "a.zip");
    EXPECT_EQ(onTheCopy, "[ZoneTransfer]\r\nZoneId=3");
}
#endif

// The temporary copies that a crash left: one whose download is still in the download folder is
// removed (read-only, as a copy of a read-only file is), as is one cut short; one whole and whose
// download is gone is the only copy left, a crash having lost its rename after the source was
// deleted, and takes its name, unless that name holds the same contents.
TEST(FileMover, EndsTheCopiesThatACrashLeft)
{
    TempFolder folder;
    const fs::path download = folder / "download";
    const fs::path destination = folder / "destination";
    fs::create_directories(download);
    fs::create_directories(destination);
    const std::string longName(240, 'x');
    writeFile(download / "a.mp3", "still downloading");
    writeFile(download / (longName + ".mp3"), "still downloading");
    writeFile(destination / "keep.mp3", "not a temporary file");
    const std::vector<std::pair<std::string, std::string>> copies{
        {".vorlund-0123456789abcdef.part", "half, of a download not named"},
        {".vorlund-01234567-9-a.mp3.part", "half"},
        {".vorlund-01234567-9~" + longName.substr(0, 200) + ".part", "half"},
        {".vorlund-02468ace-9-c.mp3.part", "half"},
        {".vorlund-89abcdef-7-b.mp3.part", "whole b"},
        {".vorlund-76543210-21-keep.mp3.part", "whole, the other keep"},
        {".vorlund-fedcba98-20-keep.mp3.part", "not a temporary file"},
    };
    for (const auto& [name, contents] : copies) {
        writeFile(destination / name, contents);
        fs::permissions(destination / name, fs::perms::owner_write, fs::perm_options::remove);
    }

    EXPECT_EQ(FileMover().endInterruptedCopies(destination, download), 7);
    EXPECT_EQ(namesIn(destination), (Names{"b.mp3", "keep (2).mp3", "keep.mp3"}));
    EXPECT_EQ(readFile(destination / "b.mp3"), "whole b");
    EXPECT_EQ(readFile(destination / "keep (2).mp3"), "whole, the other keep");
}

// Both lists start at one folder on a first run, until the user chooses: a file moved onto
// itself, or onto a numbered name that is itself, must not be dropped as its own duplicate.
TEST_P(FileMoverTest, NeverLosesAFileMovedOntoItselfUnderAnySpellingOfItsFolder)
{
    // A space and capitals: a name with a short name and another letter case.
    const fs::path folder = root / "Music Collection";
    fs::create_directories(folder / "sub");
    writeFile(folder / "a.mp3", "only copy");
    writeFile(folder / "a (2).mp3", "also the only copy");
    std::vector<fs::path> spellings = folderSpellings(folder);
    if (makeSymlink(folder, root / "link"))
        spellings.push_back(root / "link");
    ops.pretendOtherVolume = across;
    for (const fs::path& spelled : spellings) {
        EXPECT_TRUE(sameDirectory(folder, spelled) && sameDirectory(spelled, folder)) << spelled;
        for (const char* name : {"a.mp3", "a (2).mp3"})
            EXPECT_THROW(mover.move(folder / name, spelled / "a.mp3"), RuntimeError) << spelled;
        EXPECT_EQ(readFile(folder / "a.mp3"), "only copy") << spelled;
        EXPECT_EQ(readFile(folder / "a (2).mp3"), "also the only copy") << spelled;
    }
    EXPECT_EQ(namesIn(folder), (Names{"a (2).mp3", "a.mp3", "sub"}));
    for (const fs::path& other : {folder / "sub", root.path(), root / "missing", folder / "a.mp3"})
        EXPECT_FALSE(sameDirectory(folder, other) || sameDirectory(other, folder)) << other;
}

#ifdef _WIN32
// Every path reaches the system in the form that no 260-character limit cuts, however spelled.
TEST(SystemPath, IsTheExtendedFormOfTheFullPath)
{
    for (const auto& [given, taken] :
         {std::pair{L"C:\\a\\b.mp3", L"\\\\?\\C:\\a\\b.mp3"},
          {L"C:/a/./c/..//b.mp3", L"\\\\?\\C:\\a\\b.mp3"},
          {L"\\\\server\\share\\b.mp3", L"\\\\?\\UNC\\server\\share\\b.mp3"},
          {L"\\\\?\\C:\\a", L"\\\\?\\C:\\a"},
          {L"a\\b", L"a\\b"}})
        EXPECT_EQ(systemPath(given).native(), taken);
}
#endif

} // namespace
} // namespace vorlund::test
