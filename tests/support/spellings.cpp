#include "spellings.h"

#include "file_system.h"

#include <algorithm>

namespace vorlund::test {
namespace {

namespace fs = std::filesystem;
using Char = fs::path::value_type;
using Text = fs::path::string_type;

fs::path unlessUnchanged(const fs::path& spelled, const fs::path& folder)
{
    return spelled.native() == folder.native() ? fs::path() : spelled;
}

Char otherCase(Char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<Char>(c - 'a' + 'A');
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

fs::path withDoubledSeparators(const fs::path& folder)
{
    fs::path spelled = folder.root_path();
    for (const fs::path& part : folder.relative_path())
        spelled += part.native() + Text(2, fs::path::preferred_separator);
    return spelled;
}

fs::path inOtherLetterCase(const fs::path& folder)
{
    Text name = folder.filename().native();
    std::transform(name.begin(), name.end(), name.begin(), otherCase);
    return unlessUnchanged(folder.parent_path() / name, folder);
}

fs::path withForwardSlashes(const fs::path& folder)
{
    Text text = folder.native();
    std::replace(text.begin(), text.end(), fs::path::preferred_separator, Char('/'));
    return unlessUnchanged(text, folder);
}

fs::path withDriveLetterInOtherCase(const fs::path& folder)
{
    Text text = folder.native();
    if (!folder.has_root_name() || text.size() < 2 || text[1] != Char(':'))
        return {};
    text[0] = otherCase(text[0]);
    return text;
}

// "\\?\C:\..." hands the path to the file system untouched; Windows reads it as absolute,
// though std::filesystem of MinGW does not.
fs::path asDevicePath(const fs::path& folder)
{
    return folder.has_root_name() ? fs::path(fs::path("\\\\?\\").native() + folder.native())
                                  : fs::path();
}

} // namespace

const std::vector<Spelling>& folderSpellings()
{
    static const std::vector<Spelling> spellings = {
        {"Itself", [](const fs::path& folder) { return folder; }},
        {"DoubledSeparators", withDoubledSeparators},
        {"TrailingSeparator",
         [](const fs::path& folder) {
             return fs::path(folder.native() + Text(1, fs::path::preferred_separator));
         }},
        {"Dot", [](const fs::path& folder) { return folder / "."; }},
        {"DotDot", [](const fs::path& folder) { return folder / ".." / folder.filename(); }},
        {"OtherLetterCase", inOtherLetterCase, true},
        {"ForwardSlashes", withForwardSlashes},
        {"DriveLetterInOtherCase", withDriveLetterInOtherCase},
        {"ShortNames",
         [](const fs::path& folder) { return unlessUnchanged(shortNameOf(folder), folder); }},
        {"DevicePath", asDevicePath},
    };
    return spellings;
}

} // namespace vorlund::test
