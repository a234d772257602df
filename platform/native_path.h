#pragma once

#include <QString>
#include <filesystem>

namespace vorlund {

// The path as the OS names it, for the plain C++ file code.
std::filesystem::path toFsPath(const QString& path);

// Folder, the system's separator, name: always exactly one separator added, so a folder that
// already ends in one (a drive's root) yields two, which every system reads as one.
QString joinPath(const QString& folder, const QString& name);

} // namespace vorlund
