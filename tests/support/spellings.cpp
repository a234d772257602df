#include "spellings.h"

#include "file_system.h"

#include <algorithm>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using Char = fs::path::value_type;

fs::path unlessUnchanged(const fs::path& spelled, const fs::path& folder)
{
    return spelled.native() == folder.native() ? fs::path() : spelled;
}

Char otherCase(Char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<Char>(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z')
        return static_cast<Char>(c - 'A' + 'a');
    return c;
}

fs::path withDoubledSeparators(const fs::path& folder)
{
    fs::path spelled = folder.root_path();
    for (const fs::path& part : folder.relative_path()) {
        spelled += part;
        spelled += fs::path::string_type(2, fs::path::preferred_separator);
    }
    return spelled;
}

fs::path withTrailingSeparator(const fs::path& folder)
{
    return fs::path(folder.native() + fs::path::preferred_separator);
}

fs::path throughDot(const fs::path& folder)
{
    return folder / ".";
}

fs::path throughDotDot(const fs::path& folder)
{
    return folder / ".." / folder.filename();
}

fs::path inOtherLetterCase(const fs::path& folder)
{
    fs::path::string_type name = folder.filename().native();
    std::transform(name.begin(), name.end(), name.begin(), otherCase);
    return unlessUnchanged(folder.parent_path() / name, folder);
}

fs::path withForwardSlashes(const fs::path& folder)
{
    fs::path::string_type text = folder.native();
    std::replace(text.begin(), text.end(), fs::path::preferred_separator, Char('/'));
    return unlessUnchanged(text, folder);
}

fs::path withDriveLetterInOtherCase(const fs::path& folder)
{
    fs::path::string_type text = folder.native();
    if (!folder.has_root_name() || text.size() < 2 || text[1] != Char(':'))
        return {};
    text[0] = otherCase(text[0]);
    return unlessUnchanged(text, folder);
}

fs::path withShortNames(const fs::path& folder)
{
    return unlessUnchanged(shortNameOf(folder), folder);
}

// "\\?\C:\..." hands the path to the file system untouched; Windows reads it as absolute,
// though std::filesystem of MinGW does not.
fs::path asDevicePath(const fs::path& folder)
{
    if (!folder.has_root_name())
        return {};
    fs::path device("\\\\?\\");
    device += folder.native();
    return device;
}

} // namespace

const std::vector<Spelling>& folderSpellings()
{
    static const std::vector<Spelling> spellings = {
        {"Itself", [](const fs::path& folder) { return folder; }},
        {"DoubledSeparators", withDoubledSeparators},
        {"TrailingSeparator", withTrailingSeparator},
        {"Dot", throughDot},
        {"DotDot", throughDotDot},
        {"OtherLetterCase", inOtherLetterCase, true},
        {"ForwardSlashes", withForwardSlashes},
        {"DriveLetterInOtherCase", withDriveLetterInOtherCase},
        {"ShortNames", withShortNames},
        {"DevicePath", asDevicePath},
    };
    return spellings;
}

} // namespace vorlund::test
