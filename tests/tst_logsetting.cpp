#include "results/logsetting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Where a technician's setting puts the results log, and what a mistaken
// setting does.
class TestLogSetting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void precedence_data();
    void precedence();

private:
    void writeSetting(const QString &configFolder, const QString &value);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestLogSetting::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Only the files of this test count: a user folder and two system folders.
    qputenv("HOME", QFile::encodeName(m_dir->filePath(QStringLiteral("home"))));
    qunsetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir->filePath(QStringLiteral("xdg1")) + u':'
                                                 + m_dir->filePath(QStringLiteral("xdg2"))));
}

void TestLogSetting::writeSetting(const QString &configFolder, const QString &value)
{
    QDir().mkpath(configFolder + QStringLiteral("/morvel2"));
    QFile file(configFolder + QStringLiteral("/morvel2/morvel2.conf"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[results]\nlog=" + value.toUtf8() + "\n");
}

void TestLogSetting::precedence_data()
{
    QTest::addColumn<QString>("user");    // empty: no file
    QTest::addColumn<QString>("system1");
    QTest::addColumn<QString>("system2");
    QTest::addColumn<QString>("expected"); // "default": ~/estest.txt
    QTest::addColumn<QString>("warnedAbout"); // the file named in the warning, or empty

    QTest::newRow("none") << "" << "" << "" << "default" << "";
    QTest::newRow("system") << "" << "/srv/classe/estest.txt" << "" << "/srv/classe/estest.txt" << "";
    QTest::newRow("second system folder") << "" << "" << "/srv/b.txt" << "/srv/b.txt" << "";
    QTest::newRow("first system folder first") << "" << "/srv/a.txt" << "/srv/b.txt" << "/srv/a.txt" << "";
    QTest::newRow("user") << "/home/moi/log.txt" << "" << "" << "/home/moi/log.txt" << "";
    QTest::newRow("user over system") << "/home/moi/log.txt" << "/srv/a.txt" << "" << "/home/moi/log.txt" << "";
    QTest::newRow("relative") << "" << "estest.txt" << "" << "default" << "xdg1";
    QTest::newRow("relative user over system") << "log.txt" << "/srv/a.txt" << "" << "default" << "home";
    QTest::newRow("accented path") << "" << "/srv/élèves/estest.txt" << "" << "/srv/élèves/estest.txt" << "";
}

void TestLogSetting::precedence()
{
    QFETCH(QString, user);
    QFETCH(QString, system1);
    QFETCH(QString, system2);
    QFETCH(QString, expected);
    QFETCH(QString, warnedAbout);
    if (!user.isEmpty())
        writeSetting(m_dir->filePath(QStringLiteral("home/.config")), user);
    if (!system1.isEmpty())
        writeSetting(m_dir->filePath(QStringLiteral("xdg1")), system1);
    if (!system2.isEmpty())
        writeSetting(m_dir->filePath(QStringLiteral("xdg2")), system2);

    const LogLocation location = resultsLogLocation();
    const QString path = QFile::decodeName(QByteArray::fromStdString(location.path.native()));
    QCOMPARE(path, expected == QLatin1String("default") ? m_dir->filePath(QStringLiteral("home/estest.txt"))
                                                        : expected);
    if (warnedAbout.isEmpty()) {
        QVERIFY(location.warning.isEmpty());
    } else {
        const QString file = m_dir->filePath(warnedAbout == QLatin1String("home")
                                                 ? QStringLiteral("home/.config/morvel2/morvel2.conf")
                                                 : QStringLiteral("xdg1/morvel2/morvel2.conf"));
        QVERIFY2(location.warning.contains(file), qPrintable(location.warning));
        QVERIFY(location.warning.contains(path));
    }
}

QTEST_GUILESS_MAIN(TestLogSetting)
#include "tst_logsetting.moc"
