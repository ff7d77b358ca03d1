#pragma once

// Why a log could not be written, read or collected, in French whatever
// the system's language: the command line runs before any locale is set,
// and a school machine may have no French locale at all. Every part of the
// program that gives one of these reasons takes it from here.

namespace logfile::reasons {

inline constexpr const char *permissionDenied = "permission refusée";
inline constexpr const char *exists = "le fichier existe déjà";
inline constexpr const char *missing = "le fichier ou un dossier du chemin n'existe pas";
inline constexpr const char *notAFile = "ce n'est pas un fichier ordinaire";
inline constexpr const char *isALink = "c'est un lien symbolique";
inline constexpr const char *locked = "le fichier reste verrouillé par un autre programme";
inline constexpr const char *foreignLink = "c'est un lien symbolique qui appartient à un autre utilisateur";
// A pupil's own log must be a file of the pupil's, never a link to one.
inline constexpr const char *linkAtLog = "c'est un lien symbolique, pas le fichier de l'élève";
inline constexpr const char *foreignOwner = "ce fichier appartient à un autre utilisateur";
inline constexpr const char *interrupted = "interrompu ; rien n'a été déplacé";

} // namespace logfile::reasons
