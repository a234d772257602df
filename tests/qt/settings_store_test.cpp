#include "engine/runtime_error.h"
#include "qt/settings_store.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QSettings>
#include <QTest>

namespace vorlund {

namespace fs = std::filesystem;

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private:
    test::TempFolder m_config;
    SettingsStore m_store;

    QString get(const QString& key, const QString& fallback = QStringLiteral("<default>"))
    {
        return m_store.GetSetting(QStringLiteral("vlund"), QStringLiteral("Startup"), key,
                                  fallback);
    }
    void save(const QString& key, const QString& value)
    {
        m_store.SaveSetting(QStringLiteral("vlund"), QStringLiteral("Startup"), key, value);
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_config.path().string()));
    }

    void init() { fs::remove_all(m_config / "vlund.conf"); }

    void keepsTheValuesInTheUsersConfigFileUnderStartup()
    {
        save(QStringLiteral("Dir1"), QStringLiteral("/home/user/Downloads"));
        save(QStringLiteral("Drive2"), QStringLiteral("/"));
        QCOMPARE(get(QStringLiteral("Dir1")), QStringLiteral("/home/user/Downloads"));
        QCOMPARE(get(QStringLiteral("Dir2")), QStringLiteral("<default>"));

        const std::string file = test::readFile(m_config / "vlund.conf");
        QVERIFY2(file.find("[Startup]\n") != std::string::npos, file.c_str());
        QVERIFY2(file.find("Dir1=/home/user/Downloads\n") != std::string::npos, file.c_str());
        QVERIFY2(file.find("Drive2=/\n") != std::string::npos, file.c_str());
    }

    void keepsTextsThatLookLikeOtherThingsAsTheyAre()
    {
        for (const QString& value :
             {QStringLiteral("C:\\"), QStringLiteral("a, b"), QStringLiteral("  spaced  "),
              QStringLiteral("Björk/日本"), QStringLiteral("@Variant(x)"), QString()}) {
            save(QStringLiteral("Dir1"), value);
            QCOMPARE(get(QStringLiteral("Dir1")), value);
        }
    }

    void givesTheDefaultForValuesThatAreNoText()
    {
        {
            QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vlund"));
            raw.setValue(QStringLiteral("Startup/Dir1"), QStringList{"a", "b"});
            raw.setValue(QStringLiteral("Startup/Dir2"), QVariant(42.5));
        }
        QCOMPARE(get(QStringLiteral("Dir1")), QStringLiteral("<default>"));
        QCOMPARE(get(QStringLiteral("Dir2")), QStringLiteral("<default>"));
    }

    void raisesWhenTheStoreCannotBeWritten()
    {
        // A folder where the file belongs: no user, root included, can write it.
        fs::create_directory(m_config / "vlund.conf");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, save(QStringLiteral("Dir1"), QStringLiteral("/x")));
        QVERIFY(fs::is_directory(m_config / "vlund.conf"));
    }
};

} // namespace vorlund

QTEST_MAIN(vorlund::SettingsStoreTest)
#include "settings_store_test.moc"
