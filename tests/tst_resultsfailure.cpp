#include "exercisefixture.h"
#include "messageboxanswerer.h"
#include "window/morvel2.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// When the results log cannot be written, the record must not be lost and
// the log must not be damaged.
class TestResultsFailure : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void retryAfterTheCauseIsRemoved();
    void givingUpKeepsTheRecordElsewhere();

private:
    void answerAll();
    QString logPath() const { return m_home->filePath(QStringLiteral("estest.txt")); }

    std::unique_ptr<TemporaryHome> m_home;
    std::unique_ptr<Morvel2> m_window;
};

void TestResultsFailure::init()
{
    m_home = std::make_unique<TemporaryHome>();
    QVERIFY(m_home->isValid());
    // A folder where the log should be: no permission trick, so that this
    // fails for root too.
    QVERIFY(QDir(m_home->path()).mkdir(QStringLiteral("estest.txt")));

    m_window = shownWindow();
    QVERIFY(m_window);
}

void TestResultsFailure::cleanup()
{
    m_window.reset();
    m_home.reset();
}

void TestResultsFailure::answerAll()
{
    for (int row = 0; row < 4; ++row)
        QTest::keyClicks(m_window->findChild<QLineEdit *>(QStringLiteral("Text1(%1)").arg(row)),
                         QStringLiteral("3\r"));
}

void TestResultsFailure::retryAfterTheCauseIsRemoved()
{
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
    MessageBoxAnswerer answerer([](const MessageBoxAnswerer::Box &box) {
        return box.buttons.contains(QStringLiteral("Abandonner")) ? QStringLiteral("Abandonner")
                                                                  : QString();
    });
    QSignalSpy ended(m_window.get(), &Morvel2::programEnded);

    answerAll();

    QCOMPARE(answerer.seen.size(), 2);
    QCOMPARE(answerer.seen.last().text, QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    QVERIFY(QFileInfo(logPath()).isDir()); // untouched

    QFile rescue(m_home->filePath(QStringLiteral(".local/share/morvel2/estest.txt")));
    QVERIFY(rescue.open(QIODevice::ReadOnly));
    const QByteArray rescued = rescue.readAll();
    QVERIFY(rescued.startsWith("202 "));
    QCOMPARE(rescued.count("\r\n"), 1);

    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral(" 0$"));
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.first().first().toInt(), 1);
}

QTEST_MAIN(TestResultsFailure)
#include "tst_resultsfailure.moc"
