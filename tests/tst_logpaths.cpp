#include "paths/paths.h"
#include "saving/logpaths.h"
#include "saving/writerchoice.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <pwd.h>
#include <unistd.h>

// Where the results log lives, whatever a launcher left in HOME.
class TestLogPaths : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void homeFolder_data();
    void homeFolder();
    void rescueLog_data();
    void rescueLog();
    void homeNamedInOtherBytesThanUtf8();
    void pathBytesKept_data();
    void pathBytesKept();

private:
    QByteArray m_savedHome = qgetenv("HOME");
    QByteArray m_savedDataHome = qgetenv("XDG_DATA_HOME");
};

void TestLogPaths::cleanup()
{
    qputenv("HOME", m_savedHome);
    qputenv("XDG_DATA_HOME", m_savedDataHome);
}

void TestLogPaths::homeFolder_data()
{
    const QByteArray fromPasswd = ::getpwuid(::geteuid())->pw_dir;
    QTest::addColumn<bool>("set");
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("absolute") << true << QByteArray("/srv/eleve") << QByteArray("/srv/eleve");
    QTest::newRow("unset") << false << QByteArray() << fromPasswd;
    QTest::newRow("empty") << true << QByteArray() << fromPasswd;
    QTest::newRow("relative") << true << QByteArray("eleve") << fromPasswd;
}

void TestLogPaths::homeFolder()
{
    QFETCH(bool, set);
    QFETCH(QByteArray, home);
    QFETCH(QByteArray, expected);
    if (set)
        qputenv("HOME", home);
    else
        qunsetenv("HOME");
    QCOMPARE(QByteArray::fromStdString(resultsLogPath().native()), expected + "/estest.txt");
}

void TestLogPaths::rescueLog_data()
{
    QTest::addColumn<bool>("set");
    QTest::addColumn<QByteArray>("dataHome");
    QTest::addColumn<QByteArray>("expected");
    const QByteArray standard = "/srv/eleve/.local/share/morvel2/estest.txt";
    QTest::newRow("absolute") << true << QByteArray("/srv/donnees") << QByteArray("/srv/donnees/morvel2/estest.txt");
    QTest::newRow("unset") << false << QByteArray() << standard;
    QTest::newRow("empty") << true << QByteArray() << standard;
    // Relative to whatever folder the program was started in: not a place
    // a teacher would ever look.
    QTest::newRow("relative") << true << QByteArray("donnees") << standard;
}

void TestLogPaths::rescueLog()
{
    QFETCH(bool, set);
    QFETCH(QByteArray, dataHome);
    QFETCH(QByteArray, expected);
    qputenv("HOME", "/srv/eleve");
    if (set)
        qputenv("XDG_DATA_HOME", dataHome);
    else
        qunsetenv("XDG_DATA_HOME");
    QCOMPARE(QByteArray::fromStdString(rescueLogPath().native()), expected);
}

// A home folder named in Latin-1 under a UTF-8 system: the log must land in
// it, not in a folder whose name was "corrected".
void TestLogPaths::homeNamedInOtherBytesThanUtf8()
{
    QTemporaryDir dir;
    const QByteArray home = QFile::encodeName(dir.path()) + "/\xe9l\xe8ve";
    QCOMPARE(::mkdir(home.constData(), 0700), 0);
    qputenv("HOME", home);

    QVERIFY(appendRecord(resultsLogPath(), "202\r\n").ok);
    QVERIFY(::access((home + "/estest.txt").constData(), F_OK) == 0);
    qunsetenv("XDG_DATA_HOME");
    QCOMPARE(QByteArray::fromStdString(rescueLogPath().native()),
             home + "/.local/share/morvel2/estest.txt");
    std::filesystem::remove_all(home.toStdString()); // beyond what QTemporaryDir can name
}

void TestLogPaths::pathBytesKept_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8"); // the text is the UTF-8 reading
    QTest::newRow("plain") << QByteArray("/srv/classe/estest.txt") << true;
    QTest::newRow("accents in UTF-8") << QByteArray("/srv/\xc3\xa9l\xc3\xa8ves.txt") << true;
    QTest::newRow("four-byte character") << QByteArray("/srv/\xf0\x9f\x93\x9a.txt") << true;
    QTest::newRow("accents in Latin-1") << QByteArray("/srv/\xe9l\xe8ves.txt") << false;
    QTest::newRow("a lone continuation byte") << QByteArray("/srv/\x80.txt") << false;
    QTest::newRow("an overlong slash") << QByteArray("/srv/\xc0\xaf.txt") << false;
    QTest::newRow("an encoded surrogate") << QByteArray("/srv/\xed\xa0\x80.txt") << false;
    QTest::newRow("cut short at the end") << QByteArray("/srv/\xe2\x82") << false;
    QTest::newRow("0xFF") << QByteArray("/srv/\xff") << false;
}

// A file name given in other bytes than UTF-8 (a --collect argument, a
// setting) names that very file, not one with U+FFFD in its name.
void TestLogPaths::pathBytesKept()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    const QString text = pathText(bytes);
    QCOMPARE(QByteArray::fromStdString(localPath(text).native()), bytes);
    QCOMPARE(text == QString::fromUtf8(bytes), utf8);
    QCOMPARE(displayPath(localPath(text)), text);
}

QTEST_GUILESS_MAIN(TestLogPaths)
#include "tst_logpaths.moc"
