// A stand-in client: a note beside itself says it ran and, on Windows, how it was to show.
#include <filesystem>
#include <fstream>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

int main(int /*argc*/, char** argv)
{
    namespace fs = std::filesystem;
    // argv[0] is the path it was started with, which the launcher always gives in full.
    const fs::path folder = fs::path(argv[0]).parent_path();
    std::string note = "started\n";
#ifdef _WIN32
    STARTUPINFOW startup{};
    ::GetStartupInfoW(&startup);
    if (startup.dwFlags & STARTF_USESHOWWINDOW)
        note += "show " + std::to_string(startup.wShowWindow) + "\n";
#endif
    // Written whole under another name first, so that the test never reads half a note.
    std::ofstream(folder / "started.part", std::ios::binary) << note;
    fs::rename(folder / "started.part", folder / "started");
    return 0;
}
