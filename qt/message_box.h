#pragma once

#include <QString>

namespace vorlund {

// The message box styles the program uses, numbered as the classic runtime numbers them.
enum MsgBoxStyle { vbCritical = 16 };

// A modal box with the style's icon and one OK button; returns when the user closes it.
void MsgBox(const QString& prompt, MsgBoxStyle style, const QString& title);

} // namespace vorlund
