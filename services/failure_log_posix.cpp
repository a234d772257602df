#include "services/failure_log.h"

#include <iostream>

namespace vorlund {

void logFailure(const std::string& line)
{
    std::cerr << "vorlund: " << line << std::endl;
}

} // namespace vorlund
