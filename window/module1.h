#pragma once

#include <functional>
#include <string>

namespace vorlund {

// The message box styles the program uses, numbered as the classic runtime numbers them.
enum MsgBoxStyle { vbCritical = 16 };

// A modal box with the style's icon and one OK button; returns when the user closes it. Each
// front end shows it with its own toolkit.
using MsgBox =
    std::function<void(const std::string& prompt, MsgBoxStyle style, const std::string& title)>;

// True when a top-level window whose whole title is `title` exists. An error on the way is
// reported through ReportError, and the answer is then false.
bool IsTaskRunning(std::string& title, const MsgBox& msgBox);

// One critical message box describing the error that the last trap caught.
void ReportError(const std::string& context, const std::string& procedureName,
                 const MsgBox& msgBox);

} // namespace vorlund
