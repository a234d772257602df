#pragma once

#include <filesystem>
#include <string>

namespace vorlund {

// A path as text, shown and stored: UTF-8 on Windows, the name's own bytes elsewhere.
std::string pathText(const std::filesystem::path& path);

// A path from the text that pathText gives.
std::filesystem::path pathFromText(const std::string& text);

// Folder, the system's separator, name (UTF-8 on Windows, bytes elsewhere): always exactly one
// separator added, so a folder that already ends in one (a drive's root) yields two, which every
// system reads as one.
std::filesystem::path joinFsPath(const std::filesystem::path& folder, const std::string& name);

} // namespace vorlund
