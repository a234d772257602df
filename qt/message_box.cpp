#include "qt/message_box.h"

#include <QMessageBox>

namespace vorlund {

void MsgBox(const QString& prompt, MsgBoxStyle style, const QString& title)
{
    QMessageBox box(style == vbCritical ? QMessageBox::Critical : QMessageBox::NoIcon, title,
                    prompt, QMessageBox::Ok);
    box.setObjectName(QStringLiteral("MsgBox"));
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace vorlund
