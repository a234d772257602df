#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vorlund {

// The names (UTF-8) that a completed ReadDirectoryChangesW wrote, `bytes` of records; none when
// it completed with no bytes, which is how Windows says that more changed than the buffer held.
// Wine fails the request instead, so only a call from a test shows that case. Windows only.
std::optional<std::vector<std::string>> notifiedNames(const std::byte* records,
                                                      unsigned long bytes);

} // namespace vorlund
