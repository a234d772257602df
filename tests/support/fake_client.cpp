// A stand-in for the download client, for the launcher's tests: it leaves a note beside itself
// that says it ran and, where the system passes it, how it was asked to show its window.
#include "startup_show.h"

#include <filesystem>
#include <fstream>

int main(int /*argc*/, char** argv)
{
    namespace fs = std::filesystem;
    // argv[0] is the path it was started with, which the launcher always gives in full.
    const fs::path folder = fs::path(argv[0]).parent_path();
    const std::string show = vorlund::test::askedWindowShow();
    // Written whole under another name first, so that the test never reads half a note.
    std::ofstream(folder / "started.part", std::ios::binary)
        << "started\n"
        << (show.empty() ? "" : "show " + show + "\n");
    fs::rename(folder / "started.part", folder / "started");
    return 0;
}
