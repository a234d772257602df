#pragma once

#include <QString>

namespace vorlund {

// True when a top-level window whose whole title is `title` exists. An error on the way is
// reported through ReportError, and the answer is then false.
bool IsTaskRunning(QString& title);

// One critical message box describing the error that the last trap caught.
void ReportError(const QString& context, const QString& procedureName);

} // namespace vorlund
