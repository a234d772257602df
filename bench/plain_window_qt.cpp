// The floor of vorlund's costs on Linux: a bare Qt window whose one-second timer sets its caption
// to the time, and nothing else.
#include <QApplication>
#include <QTime>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.resize(400, 300);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [&window] {
        window.setWindowTitle(QStringLiteral("Plain ") + QTime::currentTime().toString());
    });
    timer.start(1000);
    window.show();
    return QApplication::exec();
}
