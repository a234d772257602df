#include "engine/matching_count.h"
#include "support/temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> patterns{"*.mp3", "*.dat"};

// More changes than the system keeps for a reader: Linux queues 16,384 events, Windows fills the
// reader's 64 KiB buffer.
#ifdef _WIN32
constexpr int flood = 3'000;
#else
constexpr int flood = 17'000;
#endif

int fullCount(const fs::path& folder)
{
    return static_cast<int>(listMatchingFiles(folder, patterns).names.size());
}

// Whatever other programs do to the folder between two counts, the count is what a full listing
// gives then; and ordinary changes are followed, not read whole again.
TEST(MatchingCount, IsWhatAFullListingGivesAfterAnyChanges)
{
    TempFolder root;
    const fs::path folder = root / "destination";
    fs::create_directory(folder);
    const std::vector<std::string> names{"a.mp3", "B.MP3", "c.dat", "d.txt", ".e.mp3",
                                         "f.Mp3", "g.dat", "h.zip", "i.mp3", "j.mp3.part"};
    std::mt19937 random(20261207);
    const auto any = [&] { return folder / names[random() % names.size()]; };
    MatchingCount count;
    int expectedWholeCounts = 1;
    for (int step = 0; step < 300; ++step) {
        std::error_code ignored;
        for (int change = random() % 4; change >= 0; --change) {
            switch (random() % 6) {
            case 0:
            case 1:
                std::ofstream(any()) << 'x'; // unless a folder has the name
                break;
            case 2:
                fs::remove(any(), ignored);
                break;
            case 3:
                fs::rename(any(), any(), ignored); // over a name taken too
                break;
            case 4:
                fs::create_directory(any(), ignored);
                break;
            case 5:
                fs::remove(any(), ignored); // an empty folder among them
                break;
            }
        }
        if (step == 100) {
            // The folder replaced by another under the same path.
            fs::rename(folder, root / "old");
            fs::create_directory(folder);
            writeFile(folder / "new.mp3", "x");
            ++expectedWholeCounts;
        }
        if (step == 299) {
            for (int i = 0; i < flood; ++i)
                writeFile(folder / ("flood" + std::to_string(i) + ".dat"), "");
            ++expectedWholeCounts;
        }
        ASSERT_EQ(count.count(folder, patterns), fullCount(folder)) << "at step " << step;
    }
    EXPECT_EQ(count.wholeCounts(), expectedWholeCounts);
}

} // namespace
} // namespace vorlund::test
