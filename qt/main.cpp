#include "qt/form1.h"

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

    vorlund::Form1 form;
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
