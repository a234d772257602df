#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace vorlund {

// The path as the OS names it, for the plain C++ file code.
std::filesystem::path toFsPath(const QString& path);
QString fromFsPath(const std::filesystem::path& path);

// A file name or pattern as the plain C++ file code takes it (the OS's bytes; UTF-8 on Windows),
// and back.
std::string toFsName(const QString& name);
QString fromFsName(const std::string& name);

// Folder, the system's separator, name (as toFsName gives it): always exactly one separator
// added, so a folder that already ends in one (a drive's root) yields two, which every system
// reads as one.
std::filesystem::path joinFsPath(const std::filesystem::path& folder, const std::string& name);

} // namespace vorlund
