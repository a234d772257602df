#include "process_cpu.h"

#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace vorlund::bench {
namespace {

double secondsOf(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

} // namespace

double cpuSeconds()
{
    return secondsOf(RUSAGE_SELF);
}

double findMs(const std::filesystem::path& folder)
{
    const std::string find =
        "find '" + folder.string() + "' -maxdepth 1 -iname '*.mp3' | wc -l > /dev/null";
    const double before = secondsOf(RUSAGE_CHILDREN);
    [[maybe_unused]] const int status = std::system(find.c_str());
    return (secondsOf(RUSAGE_CHILDREN) - before) * 1e3;
}

} // namespace vorlund::bench
