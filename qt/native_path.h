#pragma once

#include <QString>
#include <filesystem>
#include <string>

namespace vorlund {

// The path as the OS names it, for the plain C++ file code.
std::filesystem::path toFsPath(const QString& path);
QString fromFsPath(const std::filesystem::path& path);

// A name as the plain C++ code takes it (the OS's bytes), and back.
std::string toFsName(const QString& name);
QString fromFsName(const std::string& name);

} // namespace vorlund
