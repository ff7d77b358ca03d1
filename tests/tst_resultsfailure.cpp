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
    void startupBoxSpeaksToTheChildFirst();

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

namespace {

const QString forTheAdult = QStringLiteral("\n\nPour l'adulte qui vient aider :\n");
const QString notSaved = QStringLiteral("Ton résultat n'a pas pu être enregistré : préviens ton maître ou ta maîtresse.");
const QString keptElsewhere =
    QStringLiteral("Ton résultat est gardé, mais pas à l'endroit habituel : préviens ton maître ou ta maîtresse.");

// The details for the adult in a box that opens with `sentence` for the
// child; empty when it does not.
QString adultsPart(const QString &text, const QString &sentence)
{
    return text.startsWith(sentence + forTheAdult) ? text.sliced(sentence.size() + forTheAdult.size()) : QString();
}

} // namespace

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
    const QString details = adultsPart(error.text, notSaved);
    QVERIFY2(details.startsWith(QStringLiteral("Le résultat n'a pas pu être enregistré dans le fichier ")
                                + QDir::toNativeSeparators(logPath()) + QStringLiteral(":\n")),
             qPrintable(error.text));
    QVERIFY(details.section(u'\n', 1, 1).size() > 0); // the system's reason follows
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
    QCOMPARE(answerer.seen.at(1).text, keptElsewhere + forTheAdult
                                           + QStringLiteral("Le résultat n'a pas été enregistré dans le fichier %1.\n"
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
    const QString told = adultsPart(answerer.seen.first().text, keptElsewhere);
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
    const QString told = adultsPart(answerer.seen.at(1).text,
                                    QStringLiteral("Ton résultat n'a pas pu être enregistré : préviens tout de suite ton "
                                                   "maître ou ta maîtresse, sans éteindre l'ordinateur."));
    QVERIFY2(told.contains(QStringLiteral("\nIl n'a pas pu être enregistré non plus dans ")
                           + QDir::toNativeSeparators(rescuePath()) + QStringLiteral(":\n")),
             qPrintable(answerer.seen.at(1).text));
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
    const QString told = adultsPart(answerer.seen.first().text, keptElsewhere);
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

// What a technician's setting says, under the child's sentence: the box a
// pupil meets at start-up is for the adult who comes to help.
void TestResultsFailure::startupBoxSpeaksToTheChildFirst()
{
    const QString details = QStringLiteral("La valeur « log » de la clé HKEY_LOCAL_MACHINE\\Software\\Policies\\morvel2"
                                           "\\morvel2\\results nomme un fichier dans un dossier qui n'existe pas : "
                                           "« S:\\classe\\<b>léa</b>.txt ».");
    WindowContext warned = context();
    warned.settingWarning = details;
    MessageBoxAnswerer answerer;
    // The box, not the window, is active once it shows.
    restartWindow(warned);

    QTRY_COMPARE(answerer.seen.size(), 1);
    QCOMPARE(adultsPart(answerer.seen.first().text,
                        QStringLiteral("L'endroit où ton résultat doit être enregistré a un problème. Tu peux faire "
                                       "l'exercice, mais préviens ton maître ou ta maîtresse.")),
             details);
    QCOMPARE(answerer.seen.first().buttons, QStringList{QStringLiteral("OK")});
}

QTEST_MAIN(TestResultsFailure)
#include "tst_resultsfailure.moc"
