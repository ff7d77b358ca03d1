#include "saving/pendingrecord.h"

#include <cassert>
#include <chrono>
#include <csignal>
#include <thread>

std::atomic<PendingRecord *> PendingRecord::s_waiting{nullptr};

PendingRecord::PendingRecord(const std::filesystem::path &rescueLog, std::string record,
                             std::string rescuedNotice, std::string lostNotice)
    : m_rescueLog(rescueLog)
    , m_folders(rescueLog)
    , m_record(std::move(record))
    , m_rescuedNotice(std::move(rescuedNotice))
    , m_lostNotice(std::move(lostNotice))
{
    // The session guard rescues one record: a second would silently take
    // the first one's place.
    PendingRecord *none = nullptr;
    [[maybe_unused]] const bool first = s_waiting.compare_exchange_strong(none, this);
    assert(first && "only one record may wait at a time");
}

PendingRecord::~PendingRecord()
{
    settle();
    PendingRecord *self = this;
    s_waiting.compare_exchange_strong(self, nullptr);
}

bool PendingRecord::write(const std::function<bool()> &write)
{
    State expected = State::Pending;
    if (!m_state.compare_exchange_strong(expected, State::Writing) && expected == State::Rescuing) {
        // The rescue has it, and ends the program once done.
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(1));
    }
    const bool landed = write();
    m_state.store(landed ? State::Settled : State::Pending);
    if (const int signal = m_deferredSignal.exchange(0))
        std::raise(signal);
    return landed;
}

bool PendingRecord::rescue() const
{
    const bool rescued = writeRescue();
    tellStandardError(rescued ? m_rescuedNotice : m_lostNotice);
    return rescued;
}

PendingRecord::AtSessionEnd PendingRecord::sessionEnds(int signal)
{
    PendingRecord *waiting = s_waiting.load();
    if (!waiting)
        return AtSessionEnd::NothingWaits;
    State expected = State::Pending;
    if (waiting->m_state.compare_exchange_strong(expected, State::Rescuing)) {
        waiting->rescue();
        return AtSessionEnd::Rescued;
    }
    switch (expected) {
    case State::Writing:
        if (signal == 0)
            return AtSessionEnd::NothingWaits; // exit() from inside the write: nothing to defer to
        waiting->m_deferredSignal.store(signal);
        return AtSessionEnd::Deferred;
    case State::Rescuing:
        return AtSessionEnd::BeingRescued;
    case State::Pending:
    case State::Settled:
        break;
    }
    return AtSessionEnd::NothingWaits;
}
