#include "exercisefixture.h"
#include "messageboxanswerer.h"
#include "window/morvel2.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <memory>

#ifndef Q_OS_WIN
#include <sys/file.h>
#endif

// When the results log cannot be written, the record must not be lost and
// the log must not be damaged.
class TestResultsFailure : public ExerciseWindowFixture
{
    Q_OBJECT

private slots:
    void retryAfterTheCauseIsRemoved();
    void givingUpKeepsTheRecordElsewhere();
    void partlyWrittenRecordIsNotOfferedAgain();
    void givingUpWithTheRescueFailingToo();
    void plantedPupilLogSaysWhereTheRecordWent();
    void windowKeepsPaintingWhileTheLogIsLocked();

private:
    // A folder where the log should be: no permission trick, so that this
    // fails for root too.
    void blockTheLog() const { QVERIFY(QDir().mkdir(logPath())); }
    void answerAll() const
    {
        for (int row = 0; row < 4; ++row)
            type(row, QStringLiteral("3\r"));
    }
};

void TestResultsFailure::retryAfterTheCauseIsRemoved()
{
    blockTheLog();
    int errors = 0;
    MessageBoxAnswerer answerer([&](const MessageBoxAnswerer::Box &box) {
        if (!box.buttons.contains(QStringLiteral("Réessayer")))
            return QString();
        // The first time the folder is still there: the log stays as it was.
        if (++errors == 2)
            QDir(logPath()).removeRecursively();
        return QStringLiteral("Réessayer");
    });
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QCOMPARE(errors, 2);
    const MessageBoxAnswerer::Box &error = answerer.seen.first();
    QCOMPARE(error.title, QStringLiteral("morvel2"));
    QVERIFY2(error.text.startsWith(QStringLiteral("Le résultat n'a pas pu être enregistré dans le fichier ")
                                   + QDir::toNativeSeparators(logPath()) + QStringLiteral(":\n")),
             qPrintable(error.text));
    QVERIFY(error.text.size() > error.text.indexOf(u'\n') + 1); // the system's reason follows
    QCOMPARE(error.buttons.size(), 2);
    QVERIFY(error.buttons.contains(QStringLiteral("Abandonner")));

    QFile log(logPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QByteArray written = log.readAll();
    QCOMPARE(written.count("\r\n"), 1);
    QVERIFY(written.startsWith("202 "));
    QVERIFY(written.endsWith("\r\n"));

    // The end goes on as usual.
    QCOMPARE(answerer.seen.last().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" 0$"));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toInt(), 0);
}

void TestResultsFailure::givingUpKeepsTheRecordElsewhere()
{
    blockTheLog();
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box &box) {
        return box.buttons.contains(QStringLiteral("Abandonner")) ? QStringLiteral("Abandonner")
                                                                  : QString();
    });
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QCOMPARE(answerer.seen.size(), 3);
    QCOMPARE(answerer.seen.at(1).text, QStringLiteral("Le résultat n'a pas été enregistré dans le fichier %1.\n"
                                                      "Il a été enregistré dans %2.")
                                           .arg(QDir::toNativeSeparators(logPath()),
                                                QDir::toNativeSeparators(rescuePath())));
    QCOMPARE(answerer.seen.last().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QVERIFY(QFileInfo(logPath()).isDir()); // untouched

    const QByteArray rescued = contents(rescuePath());
    QVERIFY(rescued.startsWith("202 "));
    QCOMPARE(rescued.count("\r\n"), 1);

    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" 0$"));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toInt(), 1);
}

// A failed append that could not be taken back may have left part of the
// record in the log: trying again could write it twice, so the pupil is not
// asked; the record goes whole to the rescue log and the pupil is told.
void TestResultsFailure::partlyWrittenRecordIsNotOfferedAgain()
{
    WindowContext partlyWriting = context();
    partlyWriting.writers.append = [](const std::filesystem::path &, const QByteArray &) {
        return AppendOutcome{false, "Erreur d'entrée/sortie", true};
    };
    QVERIFY(restartWindow(partlyWriting));
    MessageBoxAnswerer answerer;
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QCOMPARE(answerer.seen.size(), 2);
    const QString told = answerer.seen.first().text;
    QVERIFY2(told.startsWith(QStringLiteral("Le résultat n'a peut-être été enregistré qu'en partie dans le fichier ")
                             + QDir::toNativeSeparators(logPath()) + QStringLiteral(":\nErreur d'entrée/sortie\n")),
             qPrintable(told));
    QVERIFY2(told.endsWith(QStringLiteral("Il a été enregistré en entier dans %1.")
                               .arg(QDir::toNativeSeparators(rescuePath()))),
             qPrintable(told));
    QCOMPARE(answerer.seen.first().buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(answerer.seen.last().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QCOMPARE(contents(rescuePath()).count("\r\n"), 1);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toInt(), 1);
}

// The record is only on standard error: the pupil is told so, and where it
// could not go.
void TestResultsFailure::givingUpWithTheRescueFailingToo()
{
    blockTheLog();
    QVERIFY(QDir().mkpath(rescuePath())); // a folder at the rescue log's place too
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box &box) {
        return box.buttons.contains(QStringLiteral("Abandonner")) ? QStringLiteral("Abandonner") : QString();
    });
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QCOMPARE(answerer.seen.size(), 3);
    const QString told = answerer.seen.at(1).text;
    QVERIFY2(told.startsWith(QStringLiteral("Le résultat n'a pas pu être enregistré non plus dans le fichier ")
                             + QDir::toNativeSeparators(rescuePath()) + QStringLiteral(":\n")),
             qPrintable(told));
    QVERIFY2(told.endsWith(QStringLiteral("Il n'a été écrit que sur la sortie d'erreur du programme.")), qPrintable(told));
    QCOMPARE(answerer.seen.last().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QCOMPARE(ended.first().first().toInt(), 1);
}

// A pupil's own log that is a link a classmate put there: nothing goes
// through it, nothing is offered again, and the pupil is told where the
// record is.
void TestResultsFailure::plantedPupilLogSaysWhereTheRecordWent()
{
#ifdef Q_OS_WIN
    QSKIP("on Windows the share's permissions keep a pupil's log, not the program");
#endif
    WindowContext pupilLog = context();
    pupilLog.writers.append = appendToPupilLog;
    QVERIFY(restartWindow(pupilLog));
    const QString trap = filePath(QStringLiteral("piege.txt"));
    QVERIFY(QFile::link(trap, logPath()));
    MessageBoxAnswerer answerer;
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QCOMPARE(answerer.seen.size(), 2);
    const QString told = answerer.seen.first().text;
    QVERIFY2(told.startsWith(QStringLiteral("Le résultat n'a pas été enregistré dans le fichier ")
                             + QDir::toNativeSeparators(logPath()) + QStringLiteral(":\nc'est un lien symbolique")),
             qPrintable(told));
    QVERIFY2(told.endsWith(QStringLiteral("Il a été enregistré dans %1.").arg(QDir::toNativeSeparators(rescuePath()))),
             qPrintable(told));
    QCOMPARE(answerer.seen.first().buttons, QStringList{QStringLiteral("OK")});
    QVERIFY(!QFileInfo::exists(trap));
    QCOMPARE(contents(rescuePath()).count("\r\n"), 1);
    QCOMPARE(ended.first().first().toInt(), 1);
}

// Another program holds the log's lock for a while: the window goes on
// painting, with a wait cursor, and the record lands once the lock is let go.
void TestResultsFailure::windowKeepsPaintingWhileTheLogIsLocked()
{
#ifdef Q_OS_WIN
    QSKIP("the lock is held here with flock, which Windows does not have");
#else
    QFile log(logPath());
    QVERIFY(log.open(QIODevice::WriteOnly));
    QCOMPARE(::flock(log.handle(), LOCK_EX), 0);
    bool sawWaitCursor = false;
    QTimer watcher; // fires only while the event loop runs
    connect(&watcher, &QTimer::timeout, this, [&] {
        const QCursor *cursor = QApplication::overrideCursor();
        if (!sawWaitCursor && cursor && cursor->shape() == Qt::WaitCursor) {
            sawWaitCursor = true;
            ::flock(log.handle(), LOCK_UN);
        }
    });
    watcher.start(50);
    MessageBoxAnswerer answerer;
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QVERIFY(sawWaitCursor);
    QCOMPARE(answerer.seen.size(), 1);
    QCOMPARE(answerer.seen.first().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QCOMPARE(resultsLog().count("\r\n"), 1);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(ended.first().first().toInt(), 0);
#endif
}

QTEST_MAIN(TestResultsFailure)
#include "tst_resultsfailure.moc"
