#pragma once

#include "window/controls.h"

#include <QLineEdit>

namespace vorlund::qt {

// A one-line text box that shows a text given by the program from its start, as a status
// text wants to be read, even where the box is narrower than the text.
class TextBox : public QLineEdit, public vorlund::TextBox
{
public:
    explicit TextBox(QWidget* parent = nullptr);

    void setText(const std::string& text) override;
};

} // namespace vorlund::qt
