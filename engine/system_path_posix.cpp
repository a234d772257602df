#include "engine/system_path.h"

namespace vorlund {

std::filesystem::path systemPath(const std::filesystem::path& path)
{
    return path;
}

} // namespace vorlund
