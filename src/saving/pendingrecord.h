#pragma once

// A finished exercise's record between the moment it is built and the moment
// it lands must outlive the session: a logout (SIGTERM), a closed terminal
// (SIGHUP), Ctrl+C (SIGINT) or the display going away (the toolkit then calls
// exit()) would otherwise take it with the process. While a PendingRecord
// exists, it is the record the session guard (app/sessionguard.h) rescues
// when the session ends: appended to the rescue log under the writers' lock
// and written on standard error, from bytes prepared in advance and, on
// POSIX systems, with async-signal-safe calls only.
// Plain C++ with no Qt in it.

#include "saving/rescuefolder.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>

class PendingRecord
{
public:
    // `record` is the line as the log takes it; `rescuedNotice` and
    // `lostNotice` are what standard error gets (the record's text included)
    // when the rescue log took it or did not. Only one may exist at a time.
    PendingRecord(const std::filesystem::path &rescueLog, std::string record,
                  std::string rescuedNotice, std::string lostNotice);
    ~PendingRecord();
    PendingRecord(const PendingRecord &) = delete;
    PendingRecord &operator=(const PendingRecord &) = delete;

    // Who has the record: nobody yet (it waits), the program writing it, the
    // rescue, or nobody any more (landed, rescued or given up on).
    enum class State { Pending, Writing, Rescuing, Settled };
    State state() const { return m_state.load(); }

    // Runs `write`, which puts the record somewhere and says whether it
    // landed, with the rescue held off, so that a record is never both
    // written and rescued. A session end that came meanwhile is carried out
    // right after, its signal raised again: by the rescue when the record did
    // not land, as the signal would have otherwise.
    bool write(const std::function<bool()> &write);

    // Writes the record to the rescue log, whatever its state, and tells
    // standard error where it went; whether the rescue log took it.
    bool rescue() const;

    // The record is safe (or given up on) and needs no rescue any more.
    void settle() { m_state.store(State::Settled); }

    // What the session's end does with the record waiting now, if any.
    enum class AtSessionEnd {
        NothingWaits, // no record, or a settled one: end as usual
        Rescued,      // it was rescued now: end at once, with status 1
        Deferred,     // it is being written: carried out once written
        BeingRescued, // another thread is rescuing it and will end the program
    };
    // Called by the session guard, from a signal handler (`signal`) or at
    // exit (0). Async-signal-safe.
    static AtSessionEnd sessionEnds(int signal);

private:
    bool writeRescue() const;
    static void tellStandardError(const std::string &notice);

    std::filesystem::path m_rescueLog;
    RescueFolders m_folders;
    std::string m_record;
    std::string m_rescuedNotice;
    std::string m_lostNotice;
    std::atomic<State> m_state{State::Pending};
    std::atomic<int> m_deferredSignal{0};

    static std::atomic<PendingRecord *> s_waiting;
    static_assert(std::atomic<State>::is_always_lock_free);
};
