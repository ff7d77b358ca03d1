#include "app/sessionguard.h"

#include "saving/pendingrecord.h"

#include <csignal>
#include <cstdlib>
#include <iterator>
#include <unistd.h>

namespace {

// Every signal whose default action ends the process, but for the faults
// of the program itself (SIGSEGV, SIGBUS...), after which nothing it holds
// can be trusted, and SIGXFSZ, which is ignored.
constexpr int guardedSignals[] = {SIGTERM, SIGHUP, SIGINT, SIGQUIT, SIGUSR1, SIGUSR2, SIGPIPE,
                                  SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU, SIGIO, SIGPWR};
struct sigaction previousActions[std::size(guardedSignals)];

// Does what the signal would have done without the guard.
void passOn(int signal)
{
    for (std::size_t i = 0; i < std::size(guardedSignals); ++i)
        if (guardedSignals[i] == signal)
            ::sigaction(signal, &previousActions[i], nullptr);
    ::raise(signal);
}

void onSessionEnd(int signal)
{
    switch (PendingRecord::sessionEnds(signal)) {
    case PendingRecord::AtSessionEnd::Rescued:
        ::_exit(1);
    case PendingRecord::AtSessionEnd::Deferred:
        return;
    case PendingRecord::AtSessionEnd::BeingRescued:
        for (;;)
            ::pause();
    case PendingRecord::AtSessionEnd::NothingWaits:
        passOn(signal);
        return;
    }
}

void onExit()
{
    if (PendingRecord::sessionEnds(0) == PendingRecord::AtSessionEnd::Rescued)
        ::_exit(1);
}

} // namespace

void guardSession()
{
    static bool guarded = false;
    if (guarded)
        return;
    guarded = true;

    ::signal(SIGXFSZ, SIG_IGN);
    std::atexit(onExit);

    struct sigaction action{};
    action.sa_handler = onSessionEnd;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (const int signal : guardedSignals)
        sigaddset(&action.sa_mask, signal);
    for (std::size_t i = 0; i < std::size(guardedSignals); ++i) {
        ::sigaction(guardedSignals[i], nullptr, &previousActions[i]);
        // Someone started us immune to this signal (nohup): stay so.
        if (previousActions[i].sa_handler != SIG_IGN)
            ::sigaction(guardedSignals[i], &action, nullptr);
    }
}
