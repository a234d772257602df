#include "spellings.h"

#include "file_system.h"

#include <algorithm>

namespace vorlund::test {

namespace fs = std::filesystem;

std::vector<fs::path> folderSpellings(const fs::path& folder)
{
    using Text = fs::path::string_type;
    const Text text = folder.native();
    const auto separator = fs::path::preferred_separator;
    Text doubled = folder.root_path().native();
    for (const fs::path& part : folder.relative_path())
        doubled += part.native() + Text(2, separator);
    Text otherCase = text;
    std::transform(text.begin(), text.end(), otherCase.begin(), [](auto c) {
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        return letter ? static_cast<decltype(c)>(c ^ 0x20) : c;
    });
    Text slashes = text;
    std::replace(slashes.begin(), slashes.end(), separator, fs::path::value_type('/'));
    // "\\?\C:\..." hands the path to the file system untouched.
    const Text device = folder.has_root_name() ? fs::path("\\\\?\\").native() + text : Text();

    std::vector<fs::path> spellings{folder, doubled, text + separator, folder / ".",
                                    folder / ".." / folder.filename()};
    for (const Text& other : {namesIgnoreCase(folder) ? otherCase : text, slashes,
                              shortNameOf(folder).native(), device}) {
        if (!other.empty() && other != text)
            spellings.push_back(other);
    }
    return spellings;
}

} // namespace vorlund::test
