#pragma once

#include "reading/readingsettings.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// A file of the adaptations folder: the class's ("classe.conf") or one
// pupil's ("eleve-LOGIN.conf"). Plain UTF-8, one field a line, "#" starting
// a comment, as the exercise files are:
//
//     adaptations : oui            (or "non", or "comme la classe")
//     police : opendyslexic        (modèle, andika, opendyslexic)
//     taille : 150                 (percent: 100 to 250, in steps of 25)
//     interligne : 150             (percent of a line: 100 to 200, steps of 25)
//     lettres : 10                 (hundredths of an em: 0 to 30, steps of 5)
//     mots : 20                    (hundredths of an em: 0 to 50, steps of 10)
//     fond : crème                 (modèle, blanc, crème)
//     règle : oui                  (oui, non)
//     contrôle : 3f2a
//
// The teacher's window writes every file at the same size, whatever it
// says, so that a classmate who may see a file's size learns nothing from
// it; and in place, so that the rights a technician gave it stay. The last
// field is a checksum of what comes before it: a pupil whose program reads
// the file at the moment the teacher rewrites it sees a mix of two versions
// and reads again, rather than a page made of both. A file written by hand
// may leave it out. Anything after it is padding.

inline constexpr const char *classAdaptationsName = "classe.conf";
// The size of every file the window writes; what is read may be up to
// maxAdaptationsBytes.
inline constexpr qsizetype adaptationsFileSize = 1024;
inline constexpr qsizetype maxAdaptationsBytes = 4096;

// The pupil's file: the login as it is, behind a prefix no login can make
// the class's name.
QString pupilAdaptationsName(const QString &login);
// The login whose file `name` is, if it is a pupil's.
std::optional<QString> loginOfPupilFile(const QString &name);
// Why `login` cannot name a pupil's file (empty, a path, control
// characters, too long), in French; empty when it can.
QString loginFault(const QString &login);

// What a file says: for a pupil, nothing of their own (the class's apply),
// or settings; for the class, its settings.
struct AdaptationsEntry
{
    bool followsClass = false;
    ReadingSettings settings;

    friend bool operator==(const AdaptationsEntry &, const AdaptationsEntry &) = default;
};

// Exactly adaptationsFileSize bytes.
QByteArray adaptationsFileBytes(const AdaptationsEntry &entry);

struct ParsedAdaptations
{
    std::optional<AdaptationsEntry> entry; // only without a fault
    QString fault; // in French: "ligne 3 : ..."
    // The checksum does not match: most likely read while being rewritten.
    bool mixed = false;
};
ParsedAdaptations parseAdaptations(QByteArrayView bytes);

// The settings as the teacher reads them: "OpenDyslexic, texte à 150 %,
// interligne 1,5, …"; "aucune" for the design's page.
QString describeSettings(const ReadingSettings &settings);
