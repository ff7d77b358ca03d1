// Runs the results-log writer's Windows branch through the cases the Linux
// proofs cover, where they make sense on Windows. Plain C++ and the Windows
// API, no Qt: it links the writer alone.
//
//   appenddriver all FOLDER [CLOSED]
//       runs every case in FOLDER (a Windows path); exit status 0 when all
//       hold, 1 otherwise. CLOSED, when given, is a class folder this
//       account may create files in but not list, holding one log of its
//       own, existe.txt
//   appenddriver append LOG COUNT WRITER    (a child of the concurrency case)
//   appenddriver hold LOG MODE MS           (a child that keeps LOG busy:
//       MODE "lock" takes the writers' lock, "open" opens it unshared;
//       creates LOG.held once it holds it, and lets go after MS ms)

#include "logfile/logfile.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

int failures = 0;

void check(bool holds, const std::string &what)
{
    std::printf("%s: %s\n", holds ? "ok  " : "FAIL", what.c_str());
    if (!holds)
        ++failures;
}

// A record as long as the real one (308 bytes and CR LF), numbered.
std::string record(int writer, int index)
{
    char head[64];
    std::snprintf(head, sizeof head, "202 w%03d r%04d ", writer, index);
    std::string line = head;
    line.resize(308, 'x');
    return line + "\r\n";
}

std::string contents(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

logfile::AppendOutcome append(const fs::path &log, const std::string &line,
                              std::chrono::milliseconds wait = 10s)
{
    return logfile::appendLine(log, line, wait);
}

// Starts this program again with `arguments`; returns its process handle.
HANDLE spawn(const std::wstring &arguments)
{
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return nullptr;
    CloseHandle(process.hThread);
    return process.hProcess;
}

DWORD finish(HANDLE process)
{
    WaitForSingleObject(process, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(process, &status);
    CloseHandle(process);
    return status;
}

// A child that keeps the log busy until it is killed or its time is up.
struct Holder
{
    HANDLE process = nullptr;
    Holder(const fs::path &log, const wchar_t *mode)
    {
        const fs::path held = log.wstring() + L".held";
        fs::remove(held);
        process = spawn(L"hold \"" + log.wstring() + L"\" " + mode + L" 20000");
        for (int tries = 0; process && !fs::exists(held) && tries < 500; ++tries)
            std::this_thread::sleep_for(10ms);
    }
    ~Holder()
    {
        if (process) {
            TerminateProcess(process, 0);
            finish(process);
        }
    }
};

void manyWritersAtOnce(const fs::path &folder)
{
    const fs::path log = folder / L"concurrency.txt";
    constexpr int writers = 20, records = 25;
    std::vector<HANDLE> children;
    for (int writer = 0; writer < writers; ++writer)
        children.push_back(spawn(L"append \"" + log.wstring() + L"\" " + std::to_wstring(records)
                                 + L" " + std::to_wstring(writer)));
    int failed = 0;
    for (HANDLE child : children)
        failed += child == nullptr || finish(child) != 0;

    const std::string all = contents(log);
    std::set<std::string> seen;
    bool intact = true;
    for (std::size_t start = 0; start < all.size();) {
        const std::size_t end = all.find("\r\n", start);
        if (end == std::string::npos) {
            intact = false;
            break;
        }
        const std::string line = all.substr(start, end + 2 - start);
        int writer = -1, index = -1;
        intact = intact && std::sscanf(line.c_str(), "202 w%3d r%4d", &writer, &index) == 2
                 && line == record(writer, index) && seen.insert(line).second;
        start = end + 2;
    }
    check(failed == 0 && intact && seen.size() == writers * records
              && all.size() == writers * records * record(0, 0).size(),
          std::to_string(writers) + " processes x " + std::to_string(records) + " records at once: "
              + std::to_string(seen.size()) + " distinct whole records, " + std::to_string(all.size())
              + " bytes, " + std::to_string(failed) + " failed writers");
}

void tailsAndLineEnds(const fs::path &folder)
{
    const fs::path log = folder / L"tails.txt";
    const std::string line = record(1, 1);
    const struct
    {
        const char *name;
        std::string before, after;
    } cases[] = {
        {"an empty log", "", line},
        {"a log of whole lines", "a\r\n", "a\r\n" + line},
        {"a torn last line", "a\r\n202 torn", "a\r\n202 torn\r\n" + line},
        {"a log torn between CR and LF", "a\r", "a\r\r\n" + line},
        {"a log ending in a bare line feed", "abc\n", "abc\n" + line},
    };
    for (const auto &tail : cases) {
        write(log, tail.before);
        const bool ok = append(log, line).ok;
        check(ok && contents(log) == tail.after, std::string("after ") + tail.name
                                                      + ": the record on a line of its own");
    }
}

void refusals(const fs::path &folder)
{
    const std::string line = record(2, 2);

    const fs::path readOnly = folder / L"lecture-seule.txt";
    write(readOnly, "a\r\n");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    const HANDLE probe = CreateFileW(readOnly.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        // Wine keeps the attribute as Unix permissions, which root ignores.
        CloseHandle(probe);
        std::printf("skip: a read-only log: the attribute is not enforced here\n");
    } else {
        const logfile::AppendOutcome refused = append(readOnly, line);
        check(!refused.ok && !refused.reason.empty() && contents(readOnly) == "a\r\n",
              "a read-only log: refused (" + refused.reason + "), unchanged");
    }
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);

    const fs::path folderAtPath = folder / L"dossier.txt";
    fs::create_directory(folderAtPath);
    const logfile::AppendOutcome onFolder = append(folderAtPath, line);
    check(!onFolder.ok && !onFolder.reason.empty() && fs::is_empty(folderAtPath),
          "a folder at the log's path: refused (" + onFolder.reason + ")");

    const fs::path missing = folder / L"absent" / L"estest.txt";
    const logfile::AppendOutcome noFolder = append(missing, line);
    check(!noFolder.ok && !noFolder.reason.empty() && !fs::exists(missing.parent_path()),
          "a missing folder: refused (" + noFolder.reason + "), not created");
}

void busyLogs(const fs::path &folder)
{
    const std::string line = record(3, 3);
    const struct
    {
        const wchar_t *mode;
        const char *name;
    } holders[] = {{L"lock", "another writer holding the lock"},
                   {L"open", "another program holding the log open unshared"}};
    for (const auto &holder : holders) {
        const fs::path log = folder / (std::wstring(L"busy-") + holder.mode + L".txt");
        write(log, "a\r\n");
        logfile::AppendOutcome outcome;
        std::chrono::milliseconds waited{};
        {
            const Holder busy(log, holder.mode);
            const auto started = std::chrono::steady_clock::now();
            outcome = append(log, line, 700ms);
            waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - started);
        }
        // Read once the holder has let go: an unshared log cannot be read.
        check(!outcome.ok && contents(log) == "a\r\n" && waited >= 600ms && waited < 5s,
              std::string(holder.name) + " past the bound: refused after "
                  + std::to_string(waited.count()) + " ms (bound 700 ms), nothing written ("
                  + outcome.reason + ")");
        check(append(log, line).ok && contents(log) == "a\r\n" + line,
              std::string(holder.name) + ", then letting go: the record lands");
    }
}

// A teacher collects the log: its records copied out under the writers'
// lock, the log emptied; an existing file is never replaced.
void collection(const fs::path &folder)
{
    const fs::path log = folder / L"collecte.txt";
    const fs::path taken = folder / L"releve.txt";
    write(log, record(6, 0) + record(6, 1) + "202 torn");
    const logfile::CollectOutcome collected = logfile::collectLog(log, taken);
    check(collected.ok && collected.records == 3 && contents(taken) == record(6, 0) + record(6, 1) + "202 torn"
              && contents(log).empty(),
          "collecting: " + std::to_string(collected.records) + " records copied out, the log emptied");
    check(append(log, record(6, 2)).ok && contents(log) == record(6, 2),
          "after collecting: the next record starts the log afresh");
    const logfile::CollectOutcome refused = logfile::collectLog(log, taken);
    check(!refused.ok && refused.destinationExists && contents(log) == record(6, 2),
          "collecting onto an existing file: refused (" + refused.reason + "), nothing moved");
    const logfile::CollectOutcome none = logfile::collectLog(folder / L"absent.txt", folder / L"vide.txt");
    check(none.ok && none.noLog && !fs::exists(folder / L"vide.txt"), "collecting when there is no log: nothing done");
}

void paths(const fs::path &folder)
{
    const std::string line = record(5, 5);
    const fs::path accented = folder / L"r\u00e9sultats \u00e9l\u00e8ves" / L"estest.txt";
    fs::create_directory(accented.parent_path());
    check(append(accented, line).ok
              && GetFileAttributesW(accented.c_str()) != INVALID_FILE_ATTRIBUTES
              && contents(accented) == line,
          "a folder named with accented letters: the record in the file of that exact name");

    const fs::path drive = fs::path(folder.wstring().substr(0, 2) + L"\\") / folder.relative_path()
                           / L"lecteur.txt";
    check(append(drive, line).ok && contents(drive) == line,
          "a drive-letter path (" + drive.string() + "): appended");

    const fs::path share = L"\\\\serveur\\classe\\estest.txt";
    const auto started = std::chrono::steady_clock::now();
    const logfile::AppendOutcome unreachable = append(share, line);
    const auto waited = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - started);
    check(!unreachable.ok && !unreachable.reason.empty() && waited < 30s,
          "a UNC path to a share that cannot be reached: refused (" + unreachable.reason + ")");
}

// The trial --verifier and the start-up make: what the writer does short
// of writing a record, leaving nothing of its own behind.
void trials(const fs::path &folder, const fs::path &closed)
{
    const fs::path missing = folder / L"essai.txt";
    const logfile::AppendTrial made = logfile::tryAppend(missing, true);
    check(made.ok && made.created && !made.leftBehind && !fs::exists(missing),
          "a trial where the log is missing: made, locked, removed (" + made.reason + ")");
    const fs::path existing = folder / L"essai-existant.txt";
    write(existing, record(7, 0));
    const logfile::AppendTrial kept = logfile::tryAppend(existing, true);
    check(kept.ok && !kept.created && contents(existing) == record(7, 0),
          "a trial on a log with a record: opened and locked, left as it was");
    const logfile::AppendTrial absent = logfile::tryAppend(folder / L"absent" / L"essai.txt", true);
    check(!absent.ok && !absent.wineListing && !fs::exists(folder / L"absent"),
          "a trial in a missing folder: refused (" + absent.reason + "), nothing made");
    const logfile::PathCheck rights = logfile::checkLogPath(missing, true);
    std::string notes;
    for (const std::string &note : rights.notes)
        notes += " " + note;
    check(rights.reachable && rights.trialNeeded && (rights.judged || !notes.empty()),
          "the class folder's rights read or said unreadable:" + notes);
    if (closed.empty())
        return;
    const logfile::AppendTrial refused = logfile::tryAppend(closed / L"nouveau.txt", true);
    check(!refused.ok && refused.wineListing && !fs::exists(closed / L"nouveau.txt"),
          "a trial in a folder this account may not list: refused (" + refused.reason
              + "), said to be Wine's doing");
    const logfile::AppendTrial own = logfile::tryAppend(closed / L"existe.txt", true);
    check(own.ok && !own.created, "a trial on the pupil's own log made beforehand there: opened and locked ("
                                      + own.reason + ")");
    check(append(closed / L"existe.txt", record(7, 1)).ok, "and the record lands in it");
}

int runAll(const fs::path &folder, const fs::path &closed)
{
    fs::create_directories(folder);
    manyWritersAtOnce(folder);
    tailsAndLineEnds(folder);
    refusals(folder);
    busyLogs(folder);
    collection(folder);
    paths(folder);
    trials(folder, closed);
    std::printf("%d failed\n", failures);
    return failures == 0 ? 0 : 1;
}

int appendRecords(const fs::path &log, int count, int writer)
{
    int failed = 0;
    for (int index = 0; index < count; ++index) {
        const logfile::AppendOutcome outcome = append(log, record(writer, index), 60s);
        if (!outcome.ok) {
            std::fprintf(stderr, "appenddriver: %s\n", outcome.reason.c_str());
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

int hold(const fs::path &log, const std::wstring &mode, int ms)
{
    const bool lock = mode == L"lock";
    const HANDLE file = CreateFileW(log.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    lock ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    // The writers' lock: one byte far beyond any data.
    OVERLAPPED range{};
    range.Offset = MAXDWORD - 1;
    range.OffsetHigh = MAXDWORD;
    if (lock && !LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &range))
        return 1;
    write(log.wstring() + L".held", "");
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    CloseHandle(file);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"all" && (argc == 3 || argc == 4))
        return runAll(argv[2], argc == 4 ? fs::path(argv[3]) : fs::path());
    if (command == L"append" && argc == 5)
        return appendRecords(argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
    if (command == L"hold" && argc == 5)
        return hold(argv[2], argv[3], std::stoi(argv[4]));
    std::fprintf(stderr, "usage: appenddriver all FOLDER [CLOSED] | append LOG COUNT WRITER | hold LOG MODE MS\n");
    return 2;
}
