#pragma once

#include <QLineEdit>

namespace vorlund {

// A one-line text box that shows a text given by the program from its start, as a status
// text wants to be read, even where the box is narrower than the text.
class TextBox : public QLineEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget* parent = nullptr);
};

} // namespace vorlund
