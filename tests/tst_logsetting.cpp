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
    QString userFolder(const QString &where) const;

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
    // "-": a file holding other settings only.
    file.write(value == QLatin1String("-") ? QByteArray("[fenetre]\ntaille=2\n")
                                           : "[results]\nlog=" + value.toUtf8() + "\n");
}

// The user's folder of settings: ~/.config, or the folder XDG_CONFIG_HOME
// names, which is then set.
QString TestLogSetting::userFolder(const QString &where) const
{
    if (where == QLatin1String("home"))
        return m_dir->filePath(QStringLiteral("home/.config"));
    const QString folder = m_dir->filePath(where);
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(folder));
    return folder;
}

void TestLogSetting::precedence_data()
{
    QTest::addColumn<QString>("userAt");  // "home": ~/.config; otherwise XDG_CONFIG_HOME
    QTest::addColumn<QString>("user");    // empty: no file; "-": a file without the key
    QTest::addColumn<QString>("system1");
    QTest::addColumn<QString>("system2");
    QTest::addColumn<QString>("expected"); // "default": ~/estest.txt
    QTest::addColumn<QString>("warnedAbout"); // the file named in the warning, or empty

    QTest::newRow("none") << "home" << "" << "" << "" << "default" << "";
    QTest::newRow("system") << "home" << "" << "/srv/classe/estest.txt" << "" << "/srv/classe/estest.txt" << "";
    QTest::newRow("second system folder") << "home" << "" << "" << "/srv/b.txt" << "/srv/b.txt" << "";
    QTest::newRow("first system folder first") << "home" << "" << "/srv/a.txt" << "/srv/b.txt" << "/srv/a.txt" << "";
    QTest::newRow("user") << "home" << "/home/moi/log.txt" << "" << "" << "/home/moi/log.txt" << "";
    QTest::newRow("user over system") << "home" << "/home/moi/log.txt" << "/srv/a.txt" << "" << "/home/moi/log.txt" << "";
    QTest::newRow("relative") << "home" << "" << "estest.txt" << "" << "default" << "xdg1";
    QTest::newRow("relative user over system") << "home" << "log.txt" << "/srv/a.txt" << "" << "default" << "home";
    QTest::newRow("accented path") << "home" << "" << "/srv/élèves/estest.txt" << "" << "/srv/élèves/estest.txt" << "";
    QTest::newRow("XDG_CONFIG_HOME") << "config" << "/srv/moi.txt" << "" << "" << "/srv/moi.txt" << "";
    QTest::newRow("XDG_CONFIG_HOME over system") << "config" << "/srv/moi.txt" << "/srv/a.txt" << ""
                                                  << "/srv/moi.txt" << "";
    QTest::newRow("user file without the key") << "home" << "-" << "/srv/a.txt" << "" << "/srv/a.txt" << "";
    QTest::newRow("user file without the key, XDG_CONFIG_HOME")
        << "config" << "-" << "" << "/srv/b.txt" << "/srv/b.txt" << "";
    QTest::newRow("relative in XDG_CONFIG_HOME") << "config" << "log.txt" << "/srv/a.txt" << "" << "default"
                                                 << "config";
}

void TestLogSetting::precedence()
{
    QFETCH(QString, userAt);
    QFETCH(QString, user);
    QFETCH(QString, system1);
    QFETCH(QString, system2);
    QFETCH(QString, expected);
    QFETCH(QString, warnedAbout);
    if (!user.isEmpty())
        writeSetting(userFolder(userAt), user);
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
        const QString file = warnedAbout == QLatin1String("xdg1")
                                 ? m_dir->filePath(QStringLiteral("xdg1/morvel2/morvel2.conf"))
                                 : userFolder(warnedAbout) + QStringLiteral("/morvel2/morvel2.conf");
        QVERIFY2(location.warning.contains(file), qPrintable(location.warning));
        QVERIFY(location.warning.contains(path));
    }
}

QTEST_GUILESS_MAIN(TestLogSetting)
#include "tst_logsetting.moc"
