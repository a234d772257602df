#include "qt/form1.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlund"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    vorlund::Form1 form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
