#include "classroom/collectclass.h"
#include "paths/paths.h"
#include "saving/logsetting.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

// Where a technician's setting puts the results log, and what a mistaken
// setting does.
class TestLogSetting : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void precedence_data();
    void precedence();
    void expansion_data();
    void expansion();
    void otherKeys_data();
    void otherKeys();

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
    QTest::addColumn<QString>("warningSays");
    // Whose the system folders are: "machine" (root's, nobody else may
    // change them), "user" (any other account's, as a folder a session's
    // XDG_CONFIG_DIRS names may be), "any" where it changes nothing.
    QTest::addColumn<QString>("systemFolders");

    // CLASS: a class folder that exists; FIFO and FOLDER: a FIFO or a folder
    // where the setting file should be.
    QTest::newRow("none") << "home" << "" << "" << "" << "default" << "" << "" << "any";
    QTest::newRow("system") << "home" << "" << "CLASS/estest.txt" << "" << "CLASS/estest.txt" << "" << "" << "any";
    QTest::newRow("second system folder") << "home" << "" << "" << "CLASS/b.txt" << "CLASS/b.txt" << "" << "" << "any";
    QTest::newRow("first system folder first") << "home" << "" << "CLASS/a.txt" << "CLASS/b.txt" << "CLASS/a.txt"
                                               << "" << "" << "any";
    QTest::newRow("user") << "home" << "CLASS/moi.txt" << "" << "" << "CLASS/moi.txt" << "" << "" << "any";
    // A pupil's own setting must not move the class's records.
    QTest::newRow("the machine's over the user's") << "home" << "CLASS/moi.txt" << "CLASS/a.txt" << ""
                                                   << "CLASS/a.txt" << "" << "" << "machine";
    QTest::newRow("the user's over a folder a session named")
        << "home" << "CLASS/moi.txt" << "CLASS/a.txt" << "" << "CLASS/moi.txt" << "" << "" << "user";
    QTest::newRow("relative") << "home" << "" << "estest.txt" << "" << "default" << "xdg1" << "chemin complet" << "any";
    QTest::newRow("a relative user's, the machine's") << "home" << "log.txt" << "CLASS/a.txt" << "" << "CLASS/a.txt"
                                                      << "" << "" << "machine";
    QTest::newRow("a relative user's, a session's folder") << "home" << "log.txt" << "CLASS/a.txt" << ""
                                                           << "default" << "home" << "chemin complet" << "user";
    QTest::newRow("accented path") << "home" << "" << "CLASS/élèves.txt" << "" << "CLASS/élèves.txt" << "" << "" << "any";
    QTest::newRow("XDG_CONFIG_HOME") << "config" << "CLASS/moi.txt" << "" << "" << "CLASS/moi.txt" << "" << "" << "any";
    QTest::newRow("XDG_CONFIG_HOME, the machine's") << "config" << "CLASS/moi.txt" << "CLASS/a.txt" << ""
                                                     << "CLASS/a.txt" << "" << "" << "machine";
    QTest::newRow("XDG_CONFIG_HOME, a session's folder") << "config" << "CLASS/moi.txt" << "CLASS/a.txt" << ""
                                                         << "CLASS/moi.txt" << "" << "" << "user";
    QTest::newRow("user file without the key") << "home" << "-" << "CLASS/a.txt" << "" << "CLASS/a.txt" << "" << "" << "any";
    QTest::newRow("user file without the key, XDG_CONFIG_HOME")
        << "config" << "-" << "" << "CLASS/b.txt" << "CLASS/b.txt" << "" << "" << "any";
    QTest::newRow("relative in XDG_CONFIG_HOME, a session's folder")
        << "config" << "log.txt" << "CLASS/a.txt" << "" << "default" << "config" << "chemin complet" << "user";
    QTest::newRow("a comma in the path") << "home" << "" << "CLASS/CM1,CM2.txt" << "" << "CLASS/CM1,CM2.txt" << ""
                                         << "" << "any";
    QTest::newRow("a mistaken % sequence") << "home" << "" << "CLASS/%x.txt" << "" << "default" << "xdg1"
                                           << "ni %u" << "any";
    QTest::newRow("a value in quotes") << "home" << "" << "\"CLASS/b.txt\"" << "" << "CLASS/b.txt" << "" << "" << "any";
    // Said at start-up, not only once the exercise is over.
    QTest::newRow("names a folder") << "home" << "" << "CLASS" << "" << "CLASS" << "xdg1" << "nomme un dossier" << "any";
    QTest::newRow("in a missing folder") << "home" << "" << "CLASS/absent/estest.txt" << ""
                                         << "CLASS/absent/estest.txt" << "xdg1" << "qui n'existe pas" << "any";
    // Never waited on, never skipped in silence.
    QTest::newRow("a FIFO for the class file") << "home" << "" << "FIFO" << "CLASS/b.txt" << "default" << "xdg1"
                                               << "n'est pas un fichier ordinaire" << "any";
    QTest::newRow("a folder for the class file") << "home" << "" << "FOLDER" << "CLASS/b.txt" << "default" << "xdg1"
                                                 << "n'est pas un fichier ordinaire" << "any";
}

void TestLogSetting::precedence()
{
    QFETCH(QString, userAt);
    QFETCH(QString, user);
    QFETCH(QString, system1);
    QFETCH(QString, system2);
    QFETCH(QString, expected);
    QFETCH(QString, warnedAbout);
    QFETCH(QString, warningSays);
    QFETCH(QString, systemFolders);
    const bool root = ::geteuid() == 0;
    if (systemFolders == QLatin1String("machine") && !root)
        QSKIP("the machine's folders are root's: this row needs root");
    const QString classFolder = m_dir->filePath(QStringLiteral("classe"));
    QVERIFY(QDir().mkpath(classFolder));
    for (QString *value : {&user, &system1, &system2, &expected})
        value->replace(QLatin1String("CLASS"), classFolder);
    if (!user.isEmpty())
        writeSetting(userFolder(userAt), user);
    const QString systemFile = m_dir->filePath(QStringLiteral("xdg1/morvel2/morvel2.conf"));
    if (system1 == QLatin1String("FIFO") || system1 == QLatin1String("FOLDER")) {
        QVERIFY(QDir().mkpath(QFileInfo(systemFile).path()));
        QVERIFY(system1 == QLatin1String("FOLDER") ? QDir().mkdir(systemFile)
                                                   : ::mkfifo(QFile::encodeName(systemFile).constData(), 0644) == 0);
    } else if (!system1.isEmpty()) {
        writeSetting(m_dir->filePath(QStringLiteral("xdg1")), system1);
    }
    if (!system2.isEmpty())
        writeSetting(m_dir->filePath(QStringLiteral("xdg2")), system2);
    if (systemFolders == QLatin1String("user") && root)
        QVERIFY(::system(QStringLiteral("chown -R 65534 '%1' '%2' 2> /dev/null")
                             .arg(m_dir->filePath(QStringLiteral("xdg1")), m_dir->filePath(QStringLiteral("xdg2")))
                             .toLocal8Bit()
                             .constData())
                    >= 0);

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
        QVERIFY2(location.warning.contains(path), qPrintable(location.warning));
        QVERIFY2(location.warning.contains(warningSays), qPrintable(location.warning));
    }
}

void TestLogSetting::expansion_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("host");
    QTest::addColumn<QString>("path");     // empty: refused
    QTest::addColumn<bool>("perPupil");
    QTest::addColumn<QString>("pupilLogs"); // folder|prefix|suffix, or empty: none
    QTest::addColumn<QString>("problemSays");
    // What --collect takes with this setting: "class", "log" or "nothing".
    QTest::addColumn<QString>("collects");
    QTest::newRow("plain") << "/srv/estest.txt" << "lea" << "poste12" << "/srv/estest.txt" << false << "" << "" << "log";
    QTest::newRow("per pupil") << "/srv/classe/%u.txt" << "lea" << "poste12" << "/srv/classe/lea.txt" << true
                               << "/srv/classe||.txt" << "" << "class";
    QTest::newRow("around the login") << "/srv/classe/cm1-%u-2026.txt" << "lea" << "poste12" << "/srv/classe/cm1-lea-2026.txt"
                                      << true << "/srv/classe|cm1-|-2026.txt" << "" << "class";
    QTest::newRow("at the root") << "/%u" << "lea" << "poste12" << "/lea" << true << "/||" << "" << "class";
    QTest::newRow("per machine") << "/srv/%h.txt" << "lea" << "poste12" << "/srv/poste12.txt" << false << "" << "" << "log";
    QTest::newRow("a percent sign") << "/srv/100%%.txt" << "lea" << "poste12" << "/srv/100%.txt" << false << "" << "" << "log";
    QTest::newRow("%% then u is no login") << "/srv/%%u.txt" << "lea" << "poste12" << "/srv/%u.txt" << false << "" << "" << "log";
    QTest::newRow("a folder per pupil") << "/srv/%u/estest.txt" << "lea" << "poste12" << "/srv/lea/estest.txt" << true << ""
                                        << "" << "nothing";
    QTest::newRow("twice") << "/srv/%u/%u.txt" << "lea" << "poste12" << "/srv/lea/lea.txt" << true << "" << "" << "nothing";
    QTest::newRow("a Windows share") << "\\\\serveur\\classe\\%u.txt" << "lea" << "poste12"
                                     << "\\\\serveur\\classe\\lea.txt" << true << "\\\\serveur\\classe||.txt" << "" << "class";
    QTest::newRow("unknown sequence") << "/srv/%d.txt" << "lea" << "poste12" << "" << false << "" << "« %d »" << "";
    QTest::newRow("a lone % at the end") << "/srv/estest%" << "lea" << "poste12" << "" << false << "" << "seul" << "";
    QTest::newRow("no login name") << "/srv/%u.txt" << "" << "poste12" << "" << false << "" << "nom du compte" << "";
    QTest::newRow("a login that climbs") << "/srv/%u.txt" << ".." << "poste12" << "" << false << "" << "nom du compte" << "";
    QTest::newRow("no machine name") << "/srv/%h.txt" << "lea" << "" << "" << false << "" << "nom de la machine" << "";
    QTest::newRow("a machine name that climbs") << "/srv/%h.txt" << "lea" << ".." << "" << false << ""
                                                << "nom de la machine" << "";
    QTest::newRow("a login with a slash") << "/srv/%u.txt" << "a/b" << "poste12" << "" << false << "" << "nom du compte" << "";
}

// What the setting's %u, %h and %% stand for, and the mistakes said to the
// technician; the class's logs found by their names where %u is in the file's
// name alone.
void TestLogSetting::expansion()
{
    QFETCH(QString, value);
    QFETCH(QString, login);
    QFETCH(QString, host);
    QFETCH(QString, path);
    QFETCH(bool, perPupil);
    QFETCH(QString, pupilLogs);
    QFETCH(QString, problemSays);
    QFETCH(QString, collects);
    const ExpandedSetting expanded = expandLogSetting(value, {login, host});
    QVERIFY2(expanded.problem.contains(problemSays), qPrintable(expanded.problem));
    QCOMPARE(expanded.problem.isEmpty(), problemSays.isEmpty());
    if (!problemSays.isEmpty())
        return;
    QCOMPARE(expanded.path, path);
    QCOMPARE(expanded.perPupil, perPupil);
    QString found;
    if (expanded.pupilLogs)
        found = QFile::decodeName(QByteArray::fromStdString(expanded.pupilLogs->folder.native())) + u'|'
                + expanded.pupilLogs->prefix + u'|' + expanded.pupilLogs->suffix;
    QCOMPARE(found, pupilLogs);
    const CollectScope scope =
        collectScopeFor({localPath(expanded.path), {}, expanded.perPupil, expanded.pupilLogs, {}});
    QCOMPARE(scope == CollectScope::WholeClass ? "class" : scope == CollectScope::OneLog ? "log" : "nothing",
             collects);
}


void TestLogSetting::otherKeys_data()
{
    QTest::addColumn<QString>("userFile");
    QTest::addColumn<QString>("machineFile");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("fromMachineOnly");
    QTest::newRow("the machine's") << "" << "[window]\npage=fit\n" << "fit" << true;
    QTest::newRow("a user's counts where the machine sets none")
        << "[window]\npage=150\n" << "[results]\nlog=/srv/a.txt\n" << "150" << false;
    QTest::newRow("a user's never among the machine's alone") << "[window]\npage=150\n" << "" << "" << true;
    QTest::newRow("the machine's over the user's") << "[window]\npage=150\n" << "[window]\npage=fit\n" << "fit" << false;
    QTest::newRow("the key of another group") << "" << "[results]\npage=fit\n" << "" << true;
    QTest::newRow("group names ignore case, keys do not")
        << "" << "[WINDOW]\nPage=200\npage=120\n" << "120" << true;
}

// Keys other than the log's, read as the log's is; the machine's alone
// for what a pupil must not change.
void TestLogSetting::otherKeys()
{
    QFETCH(QString, userFile);
    QFETCH(QString, machineFile);
    QFETCH(QString, expected);
    QFETCH(bool, fromMachineOnly);
    if (::geteuid() != 0)
        QSKIP("the machine's folders are root's: this test needs root");
    const auto write = [](const QString &folder, const QString &text) {
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/morvel2")));
        QFile file(folder + QStringLiteral("/morvel2/morvel2.conf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    };
    if (!userFile.isEmpty())
        write(userFolder(QStringLiteral("home")), userFile);
    if (!machineFile.isEmpty())
        write(m_dir->filePath(QStringLiteral("xdg1")), machineFile);
    const QStringList sources = fromMachineOnly ? machineSettingSources() : logSettingSources();
    const FoundSetting found = findSetting(sources, QStringLiteral("window"), QStringLiteral("page"));
    QVERIFY(found.problem.isEmpty());
    QCOMPARE(found.value.value_or(QString()), expected);
}

QTEST_GUILESS_MAIN(TestLogSetting)
#include "tst_logsetting.moc"
