#include "app/sessionguard.h"
#include "saving/pendingrecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

// A record waiting to be saved when the session ends: what is rescued, when,
// and how the program ends. The guard's cases run in a child process, as the
// signals they send end it.
class TestSessionEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void recordStates_data();
    void recordStates();
    void rescueKeepsRecordsOnLinesOfTheirOwn_data();
    void rescueKeepsRecordsOnLinesOfTheirOwn();
    void guardedProcess_data();
    void guardedProcess();
    void secondWaitingRecordStopsTheProgram();

private:
    QString rescuePath() const { return m_dir->filePath(QStringLiteral("donnees/morvel2/estest.txt")); }
    std::unique_ptr<PendingRecord> waitingRecord() const
    {
        return std::make_unique<PendingRecord>(QFile::encodeName(rescuePath()).toStdString(), record,
                                               "sauvé\n", "perdu\n");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    static inline const std::string record = "202 record\r\n";
};

namespace {

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-");
}

// What `run` writes on standard error.
template <typename Run>
QByteArray standardErrorOf(const QString &file, Run run)
{
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    const int into = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(into, STDERR_FILENO);
    ::close(into);
    run();
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    return contents(file);
}

volatile std::sig_atomic_t usr1Raised = 0;

} // namespace

void TestSessionEnd::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

enum class Before { NoRecord, Waiting, Landed, FailedToLand, Settled, Gone, InsideTheWrite };
Q_DECLARE_METATYPE(Before)
Q_DECLARE_METATYPE(PendingRecord::AtSessionEnd)

void TestSessionEnd::recordStates_data()
{
    QTest::addColumn<Before>("before");
    QTest::addColumn<PendingRecord::AtSessionEnd>("atEnd");
    QTest::addColumn<bool>("rescued");
    using End = PendingRecord::AtSessionEnd;
    QTest::newRow("no record") << Before::NoRecord << End::NothingWaits << false;
    QTest::newRow("waiting") << Before::Waiting << End::Rescued << true;
    // A rescue now would put the record in a second place.
    QTest::newRow("landed") << Before::Landed << End::NothingWaits << false;
    QTest::newRow("failed to land") << Before::FailedToLand << End::Rescued << true;
    QTest::newRow("settled") << Before::Settled << End::NothingWaits << false;
    QTest::newRow("gone") << Before::Gone << End::NothingWaits << false;
    QTest::newRow("while being written") << Before::InsideTheWrite << End::Deferred << false;
}

void TestSessionEnd::recordStates()
{
    QFETCH(Before, before);
    QFETCH(PendingRecord::AtSessionEnd, atEnd);
    QFETCH(bool, rescued);
    std::unique_ptr<PendingRecord> pending;
    if (before != Before::NoRecord)
        pending = waitingRecord();
    PendingRecord::AtSessionEnd seen{};
    const auto end = [&seen](int signal) { seen = PendingRecord::sessionEnds(signal); };
    switch (before) {
    case Before::Landed:
    case Before::FailedToLand:
        pending->write([before] { return before == Before::Landed; });
        break;
    case Before::Settled:
        pending->settle();
        break;
    case Before::Gone:
        pending.reset();
        break;
    case Before::InsideTheWrite: {
        // The deferred signal comes again once the record is written.
        usr1Raised = 0;
        const auto previous = std::signal(SIGUSR1, [](int) { usr1Raised = 1; });
        pending->write([&] {
            end(SIGUSR1);
            return usr1Raised == 0;
        });
        std::signal(SIGUSR1, previous);
        QCOMPARE(usr1Raised, 1);
        QCOMPARE(pending->state(), PendingRecord::State::Settled);
        break;
    }
    case Before::NoRecord:
    case Before::Waiting:
        break;
    }
    const QByteArray told = standardErrorOf(m_dir->filePath(QStringLiteral("stderr")), [&] {
        if (before != Before::InsideTheWrite)
            end(SIGTERM);
    });
    QCOMPARE(seen, atEnd);
    QCOMPARE(contents(rescuePath()), rescued ? QByteArray::fromStdString(record) : QByteArray("-"));
    QCOMPARE(told, rescued ? QByteArray("sauvé\n") : QByteArray());
}

void TestSessionEnd::rescueKeepsRecordsOnLinesOfTheirOwn_data()
{
    QTest::addColumn<QByteArray>("before"); // "-": no rescue log yet
    QTest::addColumn<QByteArray>("after");
    const QByteArray line = QByteArray::fromStdString(record);
    QTest::newRow("no rescue log") << QByteArray("-") << line;
    QTest::newRow("empty") << QByteArray() << line;
    QTest::newRow("whole records") << line << line + line;
    QTest::newRow("torn") << QByteArray("202 rec") << QByteArray("202 rec\r\n") + line;
    QTest::newRow("bare line feed") << QByteArray("x\n") << QByteArray("x\n") + line;
}

void TestSessionEnd::rescueKeepsRecordsOnLinesOfTheirOwn()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (before != "-") {
        QVERIFY(QDir().mkpath(QFileInfo(rescuePath()).path()));
        QFile log(rescuePath());
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.write(before);
    }
    const auto pending = waitingRecord();
    // Whatever the umask, the folders the rescue makes are its owner's alone.
    const mode_t umask = ::umask(0);
    standardErrorOf(m_dir->filePath(QStringLiteral("stderr")), [&] { QVERIFY(pending->rescue()); });
    ::umask(umask);
    QCOMPARE(contents(rescuePath()), after);
    if (before == "-") {
        struct stat folder{};
        QCOMPARE(::stat(QFile::encodeName(QFileInfo(rescuePath()).path()).constData(), &folder), 0);
        QCOMPARE(folder.st_mode & 07777, mode_t(0700));
    }
}

enum class Scenario { Signal, SignalAfterLanding, SignalWhileWriting, SignalWhileFailing, Exit };
Q_DECLARE_METATYPE(Scenario)

void TestSessionEnd::guardedProcess_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("ignoredAtStart"); // as nohup starts a program
    QTest::addColumn<int>("endedBy");         // the signal that ended it, or 0
    QTest::addColumn<int>("status");          // its status when no signal ended it
    QTest::addColumn<bool>("rescued");

    QTest::newRow("logout") << Scenario::Signal << SIGTERM << false << 0 << 1 << true;
    QTest::newRow("terminal closed") << Scenario::Signal << SIGHUP << false << 0 << 1 << true;
    QTest::newRow("Ctrl+C") << Scenario::Signal << SIGINT << false << 0 << 1 << true;
    // Any signal that would end the program, not only the session's.
    for (const auto &[name, signal] : {std::pair{"SIGQUIT", SIGQUIT}, std::pair{"SIGUSR1", SIGUSR1},
                                       std::pair{"SIGUSR2", SIGUSR2}, std::pair{"SIGPIPE", SIGPIPE},
                                       std::pair{"SIGALRM", SIGALRM}})
        QTest::addRow("%s", name) << Scenario::Signal << signal << false << 0 << 1 << true;
    QTest::newRow("display gone") << Scenario::Exit << 0 << false << 0 << 1 << true;
    QTest::newRow("started with nohup") << Scenario::Signal << SIGHUP << true << 0 << 0 << false;
    QTest::newRow("logout after landing") << Scenario::SignalAfterLanding << SIGTERM << false << SIGTERM << 0
                                          << false;
    QTest::newRow("logout while it lands") << Scenario::SignalWhileWriting << SIGTERM << false << SIGTERM << 0
                                           << false;
    QTest::newRow("logout while it fails") << Scenario::SignalWhileFailing << SIGTERM << false << 0 << 1 << true;
}

void TestSessionEnd::guardedProcess()
{
    QFETCH(Scenario, scenario);
    QFETCH(int, signal);
    QFETCH(bool, ignoredAtStart);
    QFETCH(int, endedBy);
    QFETCH(int, status);
    QFETCH(bool, rescued);

    std::fflush(nullptr);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        ::close(STDERR_FILENO); // the notice is checked elsewhere
        // As a program starts: without the test library's handlers, which
        // would print a stack for each signal.
        for (const int each : {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE, SIGALRM})
            std::signal(each, SIG_DFL);
        if (ignoredAtStart)
            std::signal(signal, SIG_IGN);
        guardSession();
        const auto pending = waitingRecord();
        switch (scenario) {
        case Scenario::Signal:
            ::raise(signal);
            break;
        case Scenario::SignalAfterLanding:
            pending->write([] { return true; });
            ::raise(signal);
            break;
        case Scenario::SignalWhileWriting:
        case Scenario::SignalWhileFailing:
            pending->write([&] {
                ::raise(signal);
                return scenario == Scenario::SignalWhileWriting;
            });
            break;
        case Scenario::Exit:
            std::exit(0);
        }
        ::_exit(0);
    }
    int how = 0;
    QCOMPARE(::waitpid(child, &how, 0), child);
    if (endedBy != 0) {
        QVERIFY2(WIFSIGNALED(how), qPrintable(QStringLiteral("status %1").arg(WEXITSTATUS(how))));
        QCOMPARE(WTERMSIG(how), endedBy);
    } else {
        QVERIFY2(WIFEXITED(how), qPrintable(QStringLiteral("signal %1").arg(WTERMSIG(how))));
        QCOMPARE(WEXITSTATUS(how), status);
    }
    QCOMPARE(contents(rescuePath()), rescued ? QByteArray::fromStdString(record) : QByteArray("-"));
}

// The guard rescues one record: a second one would silently take the
// first one's place, so making one is a programming error caught at once.
void TestSessionEnd::secondWaitingRecordStopsTheProgram()
{
#ifdef NDEBUG
    QSKIP("assertions are compiled out of this build");
#else
    std::fflush(nullptr);
    const pid_t child = ::fork();
    QVERIFY(child >= 0);
    if (child == 0) {
        // Quietly: the test library's own handler would print a stack.
        std::signal(SIGABRT, SIG_DFL);
        ::close(STDOUT_FILENO);
        ::close(STDERR_FILENO);
        const auto first = waitingRecord();
        const auto second = waitingRecord();
        ::_exit(0);
    }
    int how = 0;
    QCOMPARE(::waitpid(child, &how, 0), child);
    QVERIFY(WIFSIGNALED(how));
    QCOMPARE(WTERMSIG(how), SIGABRT);
#endif
}

QTEST_GUILESS_MAIN(TestSessionEnd)
#include "tst_sessionend.moc"
