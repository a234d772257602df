#include "qt/config_file_store.h"
#include "qt/form1_widget.h"

#include <QApplication>
#include <QCommandLineParser>
#include <algorithm>
#include <string_view>

namespace {

// Answers --help and --version, which end the program, and refuses unknown options.
void readCommandLine(const QCoreApplication& application)
{
    QCommandLineParser commandLine;
    commandLine.setApplicationDescription(
        QStringLiteral("Moves finished downloads into a destination folder."));
    commandLine.addHelpOption();
    commandLine.addVersionOption();
    commandLine.process(application);
}

// Those answers need no display: they are given before the window system is reached.
bool asksForTextOnly(int argc, char* argv[])
{
    return std::any_of(argv + 1, argv + argc, [](std::string_view argument) {
        return argument == "-h" || argument == "--help" || argument == "-?" ||
               argument == "--help-all" || argument == "-v" || argument == "--version";
    });
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(QStringLiteral("vorlund"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORLUND_VERSION));
    if (asksForTextOnly(argc, argv)) {
        const QCoreApplication application(argc, argv);
        readCommandLine(application);
    }
    QApplication application(argc, argv);
    readCommandLine(application);

    vorlund::qt::ConfigFileStore settings;
    vorlund::qt::Form1Widget form(settings);
    form.load();
    form.show();
    return QApplication::exec();
}
