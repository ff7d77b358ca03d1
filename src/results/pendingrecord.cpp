#include "results/pendingrecord.h"

#ifdef _WIN32

PendingRecord::PendingRecord(const std::filesystem::path &, std::string, std::string, std::string) {}
PendingRecord::~PendingRecord() = default;
bool PendingRecord::write(const std::function<bool()> &write)
{
    return write();
}
void PendingRecord::settle() {}

#else

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Who owns the record: nobody yet, the rescue (a signal or exit()), the
// program writing it, or nobody any more. Moves between owners are atomic,
// so that a signal taken on another thread cannot rescue a record while it
// is being written.
enum State : int { Idle, Pending, Writing, Rescuing, Settled };
std::atomic<int> state{Idle};
std::atomic<int> deferredSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

// Prepared before any signal can come: the handler only reads them.
struct Prepared
{
    std::string rescueLog;
    std::vector<std::string> folders; // outermost first
    std::string record;
    std::string rescuedNotice;
    std::string lostNotice;
};
Prepared prepared;

constexpr int guardedSignals[] = {SIGTERM, SIGHUP, SIGINT};
struct sigaction previousActions[std::size(guardedSignals)];
bool guarded[std::size(guardedSignals)];

bool writeAll(int fd, const std::string &bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Async-signal-safe: system calls on prepared bytes, no allocation.
void rescueNow()
{
    const int savedErrno = errno;
    for (const std::string &folder : prepared.folders)
        ::mkdir(folder.c_str(), 0755);
    bool rescued = false;
    const int fd = ::open(prepared.rescueLog.c_str(),
                          O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY,
                          0644);
    if (fd >= 0) {
        struct stat status{};
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode)) {
            char last = '\n';
            if (status.st_size > 0 && ::pread(fd, &last, 1, status.st_size - 1) != 1)
                last = 0;
            rescued = (last == '\n' || writeAll(fd, "\r\n")) && writeAll(fd, prepared.record)
                      && ::fdatasync(fd) == 0;
        }
        ::close(fd);
    }
    writeAll(STDERR_FILENO, rescued ? prepared.rescuedNotice : prepared.lostNotice);
    errno = savedErrno;
}

[[noreturn]] void waitForTheRescueToEndUs()
{
    for (;;)
        ::pause();
}

void passOn(int signal)
{
    for (std::size_t i = 0; i < std::size(guardedSignals); ++i)
        if (guardedSignals[i] == signal)
            ::sigaction(signal, &previousActions[i], nullptr);
    ::raise(signal);
}

void onTermination(int signal)
{
    int expected = Pending;
    if (state.compare_exchange_strong(expected, Rescuing)) {
        rescueNow();
        ::_exit(1);
    }
    if (expected == Writing) {
        deferredSignal.store(signal);
        return;
    }
    if (expected == Rescuing)
        waitForTheRescueToEndUs();
    passOn(signal);
}

void onExit()
{
    int expected = Pending;
    if (state.compare_exchange_strong(expected, Rescuing)) {
        rescueNow();
        ::_exit(1);
    }
}

} // namespace

PendingRecord::PendingRecord(const std::filesystem::path &rescueLog, std::string record,
                             std::string rescuedNotice, std::string lostNotice)
{
    prepared.rescueLog = rescueLog.string();
    prepared.folders.clear();
    std::filesystem::path folder;
    for (const std::filesystem::path &part : rescueLog.parent_path()) {
        folder /= part;
        prepared.folders.push_back(folder.string());
    }
    prepared.record = std::move(record);
    prepared.rescuedNotice = std::move(rescuedNotice);
    prepared.lostNotice = std::move(lostNotice);

    static const bool exitGuarded = std::atexit(onExit) == 0;
    (void)exitGuarded;

    struct sigaction action{};
    action.sa_handler = onTermination;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : guardedSignals)
        sigaddset(&action.sa_mask, signal);
    state.store(Pending);
    for (std::size_t i = 0; i < std::size(guardedSignals); ++i) {
        ::sigaction(guardedSignals[i], nullptr, &previousActions[i]);
        // Someone started us immune to this signal (nohup): stay so.
        guarded[i] = previousActions[i].sa_handler != SIG_IGN;
        if (guarded[i])
            ::sigaction(guardedSignals[i], &action, nullptr);
    }
}

PendingRecord::~PendingRecord()
{
    settle();
    for (std::size_t i = 0; i < std::size(guardedSignals); ++i)
        if (guarded[i])
            ::sigaction(guardedSignals[i], &previousActions[i], nullptr);
}

bool PendingRecord::write(const std::function<bool()> &write)
{
    int expected = Pending;
    if (!state.compare_exchange_strong(expected, Writing) && expected == Rescuing)
        waitForTheRescueToEndUs();
    const bool landed = write();
    state.store(landed ? Settled : Pending);
    if (const int signal = deferredSignal.exchange(0)) {
        expected = Pending;
        if (state.compare_exchange_strong(expected, Rescuing)) {
            rescueNow();
            ::_exit(1);
        }
        passOn(signal);
    }
    return landed;
}

void PendingRecord::settle()
{
    state.store(Settled);
}

#endif
