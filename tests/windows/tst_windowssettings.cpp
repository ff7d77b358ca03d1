#include "paths/paths.h"
#include "saving/logpaths.h"
#include "saving/logsetting.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

// Windows' side of where files are: the registry setting a technician
// writes, the drive's root, and the rescue log in the roaming %APPDATA%.
// Each run has a registry of its own (a fresh Wine prefix), so the test may
// write its keys where the program reads them.
class TestWindowsSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void precedence_data();
    void precedence();
    void readsTheValueAsWritten();
    void fixedPaths();

private:
    static void setValue(const QString &key, const QString &value);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

const QString userKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\morvel2-test\\morvel2");
const QString machineKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\morvel2-test\\machine");

} // namespace

void TestWindowsSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(m_dir->filePath(QStringLiteral("classe"))));
}

void TestWindowsSettings::cleanup()
{
    for (const QString &key : {userKey, machineKey})
        QSettings(key, QSettings::NativeFormat).clear();
}

// "-": the key holds another setting only; empty: nothing written.
void TestWindowsSettings::setValue(const QString &key, const QString &value)
{
    if (value.isEmpty())
        return;
    QSettings settings(key, QSettings::NativeFormat);
    if (value == QLatin1String("-"))
        settings.setValue(QStringLiteral("fenetre/taille"), 2);
    else
        settings.setValue(QStringLiteral("results/log"), value);
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

void TestWindowsSettings::precedence_data()
{
    // CLASS: a folder that exists; the two keys stand for HKCU and HKLM.
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("machine");
    QTest::addColumn<QString>("expected"); // "default": the fallback
    QTest::addColumn<QString>("warningSays");

    QTest::newRow("none") << "" << "" << "default" << "";
    QTest::newRow("machine") << "" << "CLASS\\estest.txt" << "CLASS\\estest.txt" << "";
    // A pupil's own key must not move the class's records.
    QTest::newRow("machine over user") << "CLASS\\moi.txt" << "CLASS\\estest.txt" << "CLASS\\estest.txt" << "";
    QTest::newRow("user where the machine sets none") << "CLASS\\moi.txt" << "" << "CLASS\\moi.txt" << "";
    QTest::newRow("user key without the value") << "-" << "CLASS\\estest.txt" << "CLASS\\estest.txt" << "";
    QTest::newRow("forward slashes") << "" << "CLASS/estest.txt" << "CLASS\\estest.txt" << "";
    QTest::newRow("accented name") << "" << "CLASS\\élèves.txt" << "CLASS\\élèves.txt" << "";
    QTest::newRow("relative") << "" << "estest.txt" << "default" << "chemin complet";
    QTest::newRow("names a folder") << "" << "CLASS" << "CLASS" << "nomme un dossier";
    QTest::newRow("in a missing folder") << "" << "CLASS\\absent\\estest.txt" << "CLASS\\absent\\estest.txt"
                                         << "qui n'existe pas";
}

void TestWindowsSettings::precedence()
{
    QFETCH(QString, user);
    QFETCH(QString, machine);
    QFETCH(QString, expected);
    QFETCH(QString, warningSays);
    const QString classFolder = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("classe")));
    const auto placed = [&](QString text) { return text.replace(QLatin1String("CLASS"), classFolder); };
    setValue(userKey, placed(user));
    setValue(machineKey, placed(machine));
    const std::filesystem::path fallback = L"c:\\estest.txt";

    const LogLocation location = resultsLogLocation({machineKey, userKey}, fallback);

    const std::filesystem::path expectedPath =
        expected == QLatin1String("default") ? fallback : localPath(placed(expected));
    QCOMPARE(displayPath(location.path), displayPath(expectedPath));
    if (warningSays.isEmpty()) {
        QCOMPARE(location.warning, QString());
    } else {
        QVERIFY2(location.warning.contains(warningSays), qPrintable(location.warning));
        // In Windows' words: the key with its results subkey, as regedit shows it.
        QVERIFY2(location.warning.startsWith(QStringLiteral("La valeur « log » de la clé ") + machineKey
                                             + QStringLiteral("\\results ")),
                 qPrintable(location.warning));
        QVERIFY2(!location.warning.contains(QStringLiteral("[results]")), qPrintable(location.warning));
    }
}

void TestWindowsSettings::readsTheValueAsWritten()
{
    QCOMPARE(readLogSetting(userKey).value, std::nullopt);
    setValue(userKey, QStringLiteral("\\\\serveur\\classes\\CM1\\estest.txt"));
    const SettingRead read = readLogSetting(userKey);
    QCOMPARE(read.problem, QString());
    QCOMPARE(read.value, std::optional<QString>(QStringLiteral("\\\\serveur\\classes\\CM1\\estest.txt")));
    // The program's own keys: Group Policy's, the machine's, then the user's.
    QCOMPARE(logSettingSources(),
             QStringList({QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\Policies\\morvel2\\morvel2"),
                          QStringLiteral("HKEY_CURRENT_USER\\Software\\Policies\\morvel2\\morvel2"),
                          QStringLiteral("HKEY_LOCAL_MACHINE\\Software\\morvel2\\morvel2"),
                          QStringLiteral("HKEY_CURRENT_USER\\Software\\morvel2\\morvel2")}));
}

void TestWindowsSettings::fixedPaths()
{
    QCOMPARE(displayPath(resultsLogPath()).toLower(), QStringLiteral("c:\\estest.txt"));
    QCOMPARE(displayPath(driveRootPath(QStringLiteral("C:\\classe\\estest.txt"))).toLower(),
             QStringLiteral("c:\\classe\\estest.txt"));
    // The rescue log follows a roaming profile.
    const QString appData = QDir::toNativeSeparators(qEnvironmentVariable("APPDATA"));
    QVERIFY(!appData.isEmpty());
    QCOMPARE(displayPath(rescueLogPath()).toLower(), (appData + QStringLiteral("\\morvel2\\estest.txt")).toLower());
}

QTEST_GUILESS_MAIN(TestWindowsSettings)
#include "tst_windowssettings.moc"
