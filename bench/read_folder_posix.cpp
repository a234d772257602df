// One read of a folder and nothing more, the floor of what reading it costs a program: prints
// how many entries it holds. Usage: read_folder FOLDER
#include <cstdio>
#include <dirent.h>

int main(int argc, char* argv[])
{
    DIR* const folder = argc == 2 ? ::opendir(argv[1]) : nullptr;
    if (!folder)
        return 2;
    long entries = 0;
    while (::readdir(folder))
        ++entries;
    ::closedir(folder);
    std::printf("%ld\n", entries);
    return 0;
}
