#include "qt/text_box.h"

namespace vorlund::qt {

TextBox::TextBox(QWidget* parent) : QLineEdit(parent)
{
    // Setting a text, even the one shown already, puts the cursor at its end, which scrolls a
    // long text's start out of sight. The user's own cursor, while the box has focus, stays.
    connect(this, &QLineEdit::cursorPositionChanged, this, [this] {
        if (!hasFocus())
            setCursorPosition(0);
    });
}

// The same text set again still redraws the box: each idle pass would draw.
void TextBox::setText(const std::string& text)
{
    const QString shown = QString::fromStdString(text);
    if (shown != QLineEdit::text())
        QLineEdit::setText(shown);
}

} // namespace vorlund::qt
