#pragma once

#include <QString>
#include <string>

namespace vorlund {

// A name as the plain C++ code takes it (the OS's bytes), and back.
std::string toFsName(const QString& name);
QString fromFsName(const std::string& name);

} // namespace vorlund
