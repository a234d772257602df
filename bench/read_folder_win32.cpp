// One read of a folder and nothing more, the floor of what reading it costs a program, read as
// vorlund.exe reads: prints how many entries it holds. Usage: read_folder.exe FOLDER
#include <cstdio>
#include <string>
#include <windows.h>

int wmain(int argc, wchar_t* argv[])
{
    if (argc != 2)
        return 2;
    WIN32_FIND_DATAW found{};
    const HANDLE find =
        ::FindFirstFileExW((std::wstring(argv[1]) + L"\\*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE)
        return 2;
    long entries = 0;
    do
        ++entries;
    while (::FindNextFileW(find, &found));
    ::FindClose(find);
    std::printf("%ld\n", entries);
    return 0;
}
