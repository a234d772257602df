#include "engine/runtime_error.h"
#include "qt/settings_store.h"
#include "support/temp_folder.h"

#include <QSettings>
#include <QTest>

namespace vorlund::qt {

namespace fs = std::filesystem;

class SettingsStoreTest : public QObject
{
    Q_OBJECT

private:
    test::TempFolder m_config;
    SettingsStore m_store;

    std::string get(const std::string& key)
    {
        return m_store.GetSetting("vlund", "Startup", key, "<default>");
    }
    void save(const std::string& key, const std::string& value)
    {
        m_store.SaveSetting("vlund", "Startup", key, value);
    }

private slots:
    void initTestCase()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(m_config.path().string()));
    }

    void init() { fs::remove_all(m_config / "vlund.conf"); }

    void keepsEachTextAsGivenInTheUsersConfigFileUnderStartup()
    {
        for (const std::string value :
             {"/home/user/Downloads", "C:\\", "a, b", "  spaced  ", "Bj\xc3\xb6rk/\xe6\x97\xa5",
              "caf\xe9", "@Variant(x)", ""}) {
            save("Dir1", value);
            QCOMPARE(get("Dir1"), value);
        }
        save("Dir1", "/home/user/Downloads");
        QCOMPARE(get("Dir2"), std::string("<default>"));
        const std::string file = test::readFile(m_config / "vlund.conf");
        QVERIFY2(file.find("[Startup]\nDir1=/home/user/Downloads\n") != std::string::npos,
                 file.c_str());
    }

    void givesTheDefaultForValuesThatAreNoText()
    {
        {
            QSettings raw(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("vlund"));
            raw.setValue(QStringLiteral("Startup/Dir1"), QStringList{"a", "b"});
            raw.setValue(QStringLiteral("Startup/Dir2"), QVariant(42.5));
        }
        QCOMPARE(get("Dir1"), std::string("<default>"));
        QCOMPARE(get("Dir2"), std::string("<default>"));
    }

    void raisesWhenTheStoreCannotBeWritten()
    {
        // A folder where the file belongs: no user, root included, can write it.
        fs::create_directory(m_config / "vlund.conf");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, save("Dir1", "/x"));
    }
};

} // namespace vorlund::qt

QTEST_MAIN(vorlund::qt::SettingsStoreTest)
#include "settings_store_test.moc"
