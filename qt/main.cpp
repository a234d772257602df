#include "qt/form1_widget.h"
#include "qt/settings_store.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vorlund"));
    QApplication::setApplicationVersion(QStringLiteral(VORLUND_VERSION));
    QCommandLineParser commandLine;
    commandLine.setApplicationDescription(
        QStringLiteral("Moves finished downloads into a destination folder."));
    commandLine.addHelpOption();
    commandLine.addVersionOption();
    commandLine.process(application);

    vorlund::qt::SettingsStore settings;
    vorlund::qt::Form1Widget form(settings);
    form.load();
    form.show();
    return QApplication::exec();
}
