#pragma once

#include "qt/form1.h"
#include "qt/dir_list_box.h"
#include "qt/drive_list_box.h"
#include "qt/file_list_box.h"
#include "support/faulty_ops.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace vorlund::test {

inline QString qPath(const std::filesystem::path& path)
{
    return QDir::toNativeSeparators(QString::fromStdString(path.string()));
}

// The real store, in a temporary location, keeping a log of the keys written.
class RecordingSettings : public SettingsStore
{
public:
    explicit RecordingSettings(const std::filesystem::path& folder)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, qPath(folder));
    }
    void SaveSetting(const QString& application, const QString& section, const QString& key,
                     const QString& value) override
    {
        SettingsStore::SaveSetting(application, section, key, value);
        written << key;
    }
    QString stored(const QString& key)
    {
        return GetSetting(QStringLiteral("vlund"), QStringLiteral("Startup"), key,
                          QStringLiteral("<none>"));
    }
    void store(const QString& key, const QString& value)
    {
        SettingsStore::SaveSetting(QStringLiteral("vlund"), QStringLiteral("Startup"), key, value);
    }

    QStringList written;
};

// One window over fresh folders and a fresh settings store, its timer stopped so that each test
// runs the passes itself. Nothing is loaded until the test says so.
class Window
{
public:
    Window()
    {
        std::filesystem::create_directory(download);
        std::filesystem::create_directory(destination);
        std::filesystem::create_directory(config);
        std::filesystem::create_directory(working);
        QDir::setCurrent(qPath(working));
    }

    Form1& form()
    {
        if (!m_form) {
            m_form =
                std::make_unique<Form1>(Form1Services{[] { return now; }, &ops, &settings, client});
            m_form->findChild<QTimer*>(QStringLiteral("Timer1"))->stop();
        }
        return *m_form;
    }
    // Loads the window and chooses the two folders, as a user would on a first run.
    Form1& loadedWithFolders()
    {
        form().Form_Load();
        dir("Dir1")->setPath(qPath(download));
        dir("Dir2")->setPath(qPath(destination));
        return form();
    }

    // A tick of Timer1, taken as the window takes it, and the moves it starts.
    void pass()
    {
        QSignalSpy finished(&form(), &Form1::passFinished);
        QVERIFY(QMetaObject::invokeMethod(form().findChild<QTimer*>("Timer1"), "timeout"));
        QVERIFY(!finished.isEmpty() || finished.wait(10'000));
    }

    template <typename Control> Control* control(const char* name)
    {
        return form().findChild<Control*>(QLatin1String(name));
    }
    DirListBox* dir(const char* name) { return control<DirListBox>(name); }
    DriveListBox* drive(const char* name) { return control<DriveListBox>(name); }
    FileListBox* fileList(const char* name) { return control<FileListBox>(name); }
    QString text(const char* box) { return control<QLineEdit>(box)->text(); }
    QString failureLine() { return control<QLabel>("failureLine")->text(); }

    static inline const QDateTime now{QDate(2026, 12, 6), QTime(19, 24, 47)};
    TempFolder root;
    std::filesystem::path download = root / "download";
    std::filesystem::path destination = root / "destination";
    std::filesystem::path config = root / "config";
    std::filesystem::path working = root / "working";
    FaultyOps ops;
    RecordingSettings settings{config};
    // No client unless a test sets one: an empty path starts nothing.
    Client client{QStringLiteral("vorlund test client"), QString()};

private:
    std::unique_ptr<Form1> m_form;
};

} // namespace vorlund::test
