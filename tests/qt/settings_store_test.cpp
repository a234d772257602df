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

private slots:
    void keepsEachTextAsGivenUnderStartupAndSaysWhenItCannot()
    {
        test::TempFolder config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(config.path().string()));
        SettingsStore store;
        const auto get = [&](const char* key) {
            return store.GetSetting("vlund", "Startup", key, "<default>");
        };
        // Texts that QSettings would read back as lists or variants unless kept as text.
        for (const std::string value : {"C:\\", "a, b", "  spaced  ", "Bj\xc3\xb6rk/\xe6\x97\xa5",
                                        "caf\xe9", "@Variant(x)", "", "/home/user/Downloads"}) {
            store.SaveSetting("vlund", "Startup", "Dir1", value);
            QCOMPARE(get("Dir1"), value);
        }
        QCOMPARE(get("Dir2"), std::string("<default>"));
        const std::string file = test::readFile(config / "vlund.conf");
        QVERIFY2(file.find("[Startup]\nDir1=/home/user/Downloads\n") != std::string::npos,
                 file.c_str());

        // Edited by hand into a list: no path of ours.
        test::writeFile(config / "vlund.conf", "[Startup]\nDir1=/music, old\n");
        QCOMPARE(get("Dir1"), std::string("<default>"));

        // A folder where the file belongs: no user, root included, can write it.
        fs::remove(config / "vlund.conf");
        fs::create_directory(config / "vlund.conf");
        QVERIFY_THROWS_EXCEPTION(RuntimeError, store.SaveSetting("vlund", "Startup", "Dir1", "/x"));
    }
};

} // namespace vorlund::qt

QTEST_MAIN(vorlund::qt::SettingsStoreTest)
#include "settings_store_test.moc"
