// Drives the results-log writer from outside, so that scripts can put it
// under many processes, injected faults and kills:
//
//   logdriver append LOG COUNT WRITER [LOCK_WAIT_MS [GATE]]
//       appends COUNT records of writer WRITER (0-999) through the real
//       writer; reports each failed append on standard error, and a log it
//       created without the mode asked (a share's client); exit status 1
//       when any failed. With GATE, a FIFO, it first creates GATE.ready.WRITER
//       and waits for one byte from the FIFO, so that many drivers can be
//       started and then let go at once.
//   logdriver append-own LOG COUNT WRITER
//       the same, with the rules of a pupil's own log (created 0640)
//   logdriver check LOG
//       reads the whole log back and prints what it holds:
//       records=N torn=T invalid=I duplicates=D bytes=B record_bytes=R
//       exit status 1 when a line is neither a record nor a torn one
//   logdriver record WRITER INDEX [COUNT]
//       prints one record, as appended, or COUNT records from INDEX on
//   logdriver answers A1 A2 A3 A4
//       prints the record the window writes for these answers (UTF-8 in,
//       Windows-1252 out), such as a pupil could append to their own log
//   logdriver save WRITER INDEX
//       saves record INDEX of writer WRITER as the program saves a finished
//       exercise: to the log the settings name for this account (a
//       per-pupil log must be the pupil's own), else to the rescue log,
//       never asking to try again; prints "log PATH", "rescue PATH" or
//       "nowhere"
//   logdriver lease FILE MS
//       holds a read lease on FILE for MS milliseconds, as a file indexer or
//       a backup program may; prints "leased" once it holds it
//   logdriver reading
//       prints the reading adaptations this account's page gets from the
//       folder the machine's setting names, as the program reads them
//   logdriver adapt [WHO=WHAT]...
//       as the teacher's window saves them: WHO a pupil's login or "classe",
//       WHAT "aucune", "dys" (OpenDyslexic, larger, spaced, cream, ruler),
//       "andika" or "classe" (a pupil following the class); every pupil
//       with a file keeps what it says. Prints each file's problem, then
//       what the window says ("notice: ...")

#include "adaptations/classadaptations.h"
#include "app/sessionguard.h"
#include "exercise/content.h"
#include "logfile/logfile.h"
#include "saving/logpaths.h"
#include "saving/logsetting.h"
#include "record/record.h"
#include "record/recordreader.h"
#include "saving/saverecord.h"

#include <QByteArray>
#include <QFile>
#include <QSet>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

QByteArray recordFor(const QStringList &answers)
{
    return recordLine(recordFieldsFor(answers));
}

// Writer and record numbers travel in the answers of rows 0 and 1; the
// counts are those the window would write for these answers, so that every
// line is a record the teacher's tools count.
QByteArray record(int writer, int index)
{
    return recordFor({QStringLiteral("w%1").arg(writer, 3, 10, QLatin1Char('0')),
                      QStringLiteral("r%1").arg(index, 4, 10, QLatin1Char('0')), QStringLiteral("1"),
                      QStringLiteral("2")});
}

void waitAtGate(const std::string &gate, int writer)
{
    const std::string ready = gate + ".ready." + std::to_string(writer);
    ::close(::open(ready.c_str(), O_WRONLY | O_CREAT, 0644));
    const int fd = ::open(gate.c_str(), O_RDONLY);
    char go = 0;
    if (fd >= 0 && ::read(fd, &go, 1) == 1)
        ::close(fd);
}

int append(const char *log, int count, int writer, int lockWaitMs, const logfile::AppendRules &rules = {})
{
    int failures = 0;
    for (int index = 0; index < count; ++index) {
        const QByteArray line = record(writer, index);
        const logfile::AppendOutcome outcome = logfile::appendLine(
            log, std::string_view(line.constData(), static_cast<std::size_t>(line.size())),
            std::chrono::milliseconds(lockWaitMs), rules);
        if (!outcome.ok) {
            std::fprintf(stderr, "logdriver: %s: %s%s\n", log, outcome.reason.c_str(),
                         outcome.logTouched ? " (may be in the log)" : "");
            ++failures;
        }
        if (outcome.modeUnset)
            std::fprintf(stderr, "logdriver: %s: created without the mode asked\n", log);
    }
    return failures == 0 ? 0 : 1;
}

// A line matches the record template where the template has no digit of
// the writer or record number; there any digit will do.
bool matchesTemplate(const QByteArray &line, const QByteArray &pattern, const QList<int> &digits)
{
    if (line.size() > pattern.size())
        return false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line[i] == pattern[i])
            continue;
        if (!digits.contains(int(i)) || line[i] < '0' || line[i] > '9')
            return false;
    }
    return true;
}

int check(const char *log)
{
    QFile file(QString::fromLocal8Bit(log));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "logdriver: %s: cannot read\n", log);
        return 2;
    }
    const QByteArray content = file.readAll();
    const QByteArray pattern = record(0, 0).chopped(2);
    QList<int> digits;
    const QByteArray other = record(999, 9999).chopped(2);
    for (qsizetype i = 0; i < pattern.size(); ++i)
        if (pattern[i] != other[i])
            digits.append(int(i));

    int records = 0, torn = 0, invalid = 0, duplicates = 0;
    QSet<QByteArray> seen;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf("\r\n", start);
        const bool ended = end >= 0;
        if (!ended)
            end = content.size();
        const QByteArray line = content.mid(start, end - start);
        start = ended ? end + 2 : end;
        if (!matchesTemplate(line, pattern, digits)) {
            ++invalid;
            std::fprintf(stderr, "logdriver: not a record: %s\n", line.left(120).constData());
        } else if (line.size() < pattern.size() || !ended) {
            ++torn;
        } else if (seen.contains(line)) {
            ++duplicates;
        } else {
            seen.insert(line);
            ++records;
        }
    }
    std::printf("records=%d torn=%d invalid=%d duplicates=%d bytes=%lld record_bytes=%lld\n",
                records, torn, invalid, duplicates, static_cast<long long>(content.size()),
                static_cast<long long>(pattern.size() + 2));
    return invalid == 0 && duplicates == 0 ? 0 : 1;
}

// Lease holders are told to let go by SIGIO; this one ignores it and makes
// the writer wait the kernel's whole lease-break time.
int holdLease(const char *file, int ms)
{
    std::signal(SIGIO, SIG_IGN);
    const int fd = ::open(file, O_RDONLY);
    if (fd < 0 || ::fcntl(fd, F_SETLEASE, F_RDLCK) != 0) {
        std::perror("logdriver: lease");
        return 1;
    }
    std::puts("leased");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    return 0;
}

int save(int writer, int index)
{
    const LogLocation log = resultsLogLocation();
    if (!log.warning.isEmpty())
        std::fprintf(stderr, "logdriver: %s\n", log.warning.toUtf8().constData());
    const SaveOutcome saved =
        saveRecord({log.path, rescueLogPath()}, record(writer, index), QStringLiteral("relevé"),
                   [](const QString &, const QString &) { return false; },
                   writersFor(log));
    if (saved.refused)
        std::fprintf(stderr, "logdriver: refused: %s\n", saved.reason.toUtf8().constData());
    switch (saved.place) {
    case SaveOutcome::Place::Log: std::printf("log %s\n", log.path.c_str()); return 0;
    case SaveOutcome::Place::RescueLog: std::printf("rescue %s\n", rescueLogPath().c_str()); return 1;
    case SaveOutcome::Place::Nowhere: break;
    }
    std::puts("nowhere");
    return 1;
}

int reading()
{
    std::printf("%s\n", describeSettings(thisPupilsReading()).toUtf8().constData());
    return 0;
}

int adapt(const QStringList &changes)
{
    const AdaptationsFolder where = adaptationsFolder();
    if (!where.folder) {
        std::fprintf(stderr, "logdriver: no adaptations folder: %s\n", where.problem.toUtf8().constData());
        return 1;
    }
    const FolderAccess access = folderAccess(*where.folder);
    ClassAdaptations current = readClassAdaptations(access, where.shown, {});
    QMap<QString, AdaptationsEntry> pupils;
    for (auto it = current.pupils.cbegin(); it != current.pupils.cend(); ++it)
        pupils.insert(it.key(), it.value().entry.value_or(AdaptationsEntry{true, {}}));
    const QHash<QString, ReadingSettings> presets = {
        {"aucune", {}},
        {"dys", {ReadingFont::OpenDyslexic, 150, 150, 10, 20, PassageBackground::Cream, true}},
        {"andika", {ReadingFont::Andika, 125, 125, 0, 0, PassageBackground::White, false}}};
    for (const QString &change : changes) {
        const QString who = change.section(u'=', 0, 0);
        const QString what = change.section(u'=', 1);
        if (who == QLatin1String("classe"))
            current.ofClass = presets.value(what);
        else
            pupils.insert(who, AdaptationsEntry{what == QLatin1String("classe"), presets.value(what)});
    }
    const std::filesystem::path folder = *where.folder;
    const QList<SavedFile> problems = saveClassAdaptations(
        [&folder](const QString &name, const QByteArray &bytes, const QString &pupil) {
            return writeAdaptationsFile(folder, name, bytes, pupil);
        },
        current.ofClass, pupils);
    for (const SavedFile &file : problems)
        std::printf("%s\n", file.line().toUtf8().constData());
    for (const ClassNotice &notice : readClassAdaptations(access, where.shown, {}).notices())
        std::printf("notice: %s\n", notice.text.toUtf8().constData());
    return 0;
}

int usage()
{
    std::fprintf(stderr, "usage: logdriver append LOG COUNT WRITER [LOCK_WAIT_MS [GATE]]\n"
                         "       logdriver append-own LOG COUNT WRITER\n"
                         "       logdriver check LOG\n"
                         "       logdriver record WRITER INDEX [COUNT]\n"
                         "       logdriver save WRITER INDEX\n"
                         "       logdriver lease FILE MS\n"
                         "       logdriver reading\n"
                         "       logdriver adapt [WHO=WHAT]...\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "append" && argc >= 5 && argc <= 7) {
        // As the program does: past a file-size limit a write fails instead
        // of killing the writer.
        guardSession();
        if (argc == 7)
            waitAtGate(argv[6], std::atoi(argv[4]));
        return append(argv[2], std::atoi(argv[3]), std::atoi(argv[4]),
                      argc >= 6 ? std::atoi(argv[5]) : 10000);
    }
    if (command == "append-own" && argc == 5) {
        logfile::AppendRules rules;
        rules.ownLogOnly = true;
        return append(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), 10000, rules);
    }
    if (command == "check" && argc == 3)
        return check(argv[2]);
    if (command == "record" && (argc == 4 || argc == 5)) {
        const int first = std::atoi(argv[3]);
        const int count = argc == 5 ? std::atoi(argv[4]) : 1;
        for (int index = first; index < first + count; ++index) {
            const QByteArray line = record(std::atoi(argv[2]), index);
            std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
        }
        return 0;
    }
    if (command == "answers" && argc == 6) {
        const QByteArray line = recordFor(
            {QString::fromUtf8(argv[2]), QString::fromUtf8(argv[3]), QString::fromUtf8(argv[4]), QString::fromUtf8(argv[5])});
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
        return 0;
    }
    if (command == "save" && argc == 4) {
        guardSession();
        return save(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (command == "lease" && argc == 4)
        return holdLease(argv[2], std::atoi(argv[3]));
    if (command == "reading" && argc == 2)
        return reading();
    if (command == "adapt") {
        QStringList changes;
        for (int i = 2; i < argc; ++i)
            changes.append(QString::fromUtf8(argv[i]));
        return adapt(changes);
    }
    return usage();
}
