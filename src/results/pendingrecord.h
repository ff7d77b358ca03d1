#pragma once

// A finished exercise's record between the moment it is built and the moment
// it lands must outlive the session: a logout (SIGTERM), a closed terminal
// (SIGHUP), Ctrl+C (SIGINT) or the display going away (the toolkit then calls
// exit()) would otherwise take it with the process. While a PendingRecord
// exists, each of these appends the record to the rescue log and writes it
// on standard error, from bytes prepared in advance and with
// async-signal-safe calls only, then ends the program with status 1.
// Plain C++ with no Qt in it; on Windows it guards nothing.

#include <filesystem>
#include <functional>
#include <string>

class PendingRecord
{
public:
    // `record` is the line as the log takes it; `rescuedNotice` and
    // `lostNotice` are what standard error gets (the record's text included)
    // when the rescue log took it or did not.
    PendingRecord(const std::filesystem::path &rescueLog, std::string record,
                  std::string rescuedNotice, std::string lostNotice);
    ~PendingRecord();
    PendingRecord(const PendingRecord &) = delete;
    PendingRecord &operator=(const PendingRecord &) = delete;

    // Runs `write`, which puts the record somewhere and says whether it
    // landed, with the rescue held off so that a record is never both
    // written and rescued. A termination asked for meanwhile is carried out
    // right after: as asked when the record landed, by the rescue when not.
    bool write(const std::function<bool()> &write);

    // The record is safe (or given up on) and needs no rescue any more.
    void settle();
};
