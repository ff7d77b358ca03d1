#pragma once

#include "adaptations/adaptationsfile.h"
#include "adaptations/adaptationsstore.h"
#include "reading/readingsettings.h"

#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <optional>

// Where the pupils' reading adaptations are kept: the folder that key
// `folder` of group `adaptations` names in the machine's setting alone, so
// that no pupil can point it elsewhere (on Windows the value `folder` of
// the Policies key ...\Policies\morvel2\morvel2\adaptations, as the policy
// template sets it). It is apart from the class folder, so that the class's
// listing never meets it; nobody but the teacher may list or change it.
//
// It holds the class's file, which every pupil reads, and one file per
// pupil, which that pupil alone reads (adaptationsfile.h). Every pupil the
// class knows has a file, the same size whatever it says, so that a
// classmate who may reach a file by its name learns nothing from its
// existence, its size or its time.

struct AdaptationsFolder
{
    std::optional<std::filesystem::path> folder; // none where no setting names one
    QString shown;   // as a person reads it
    QString problem; // the setting cannot be used, in French
};

// This machine's folder, looked for in `sources` (machineSettingSources()
// by default).
AdaptationsFolder adaptationsFolder();
AdaptationsFolder adaptationsFolder(const QStringList &sources);

using ReadAdaptations = std::function<StoredFile(const QString &name)>;

// A file's entry, read again while it is being rewritten (its checksum
// says so), at most three times; or why not.
struct EntryRead
{
    std::optional<AdaptationsEntry> entry;
    bool missing = false;
    QString problem; // in French
};
EntryRead readEntry(const ReadAdaptations &read, const QString &name);

// The page `login` reads: the class's settings, or the pupil's own where
// their file has some. A file that is missing, cannot be read or is not
// right gives the class's settings for a pupil's, the design's page for the
// class's: never a failure, never a box; the teacher's window says why.
ReadingSettings pupilReading(const ReadAdaptations &read, const QString &login);

// This account's, from this machine's folder, at start-up.
ReadingSettings thisPupilsReading();
