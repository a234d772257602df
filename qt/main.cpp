#include "qt/form1_widget.h"
#include "qt/settings_store.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlund"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    vorlund::qt::SettingsStore settings;
    vorlund::qt::Form1Widget form(settings);
    form.load();
    form.show();
    return QApplication::exec();
}
