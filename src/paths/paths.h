#pragma once

#include <QString>

#include <filesystem>

// Where the program's files are on this system. The exercise names them by
// fixed Windows paths on drive C; on a system without drive letters the root
// of drive C stands for the user's home folder, so "c:\estest.txt" is
// ~/estest.txt. Paths are kept as the bytes the system gave: a home folder
// whose name is not valid UTF-8 must still work.

// The user's home folder. On Linux: HOME when it is an absolute path,
// otherwise the one the password database gives (HOME may be unset, empty or
// relative in a service's or a launcher's environment).
std::filesystem::path homeFolder();

// The account's login name, as the system knows it (never taken from the
// environment, which anybody can change); empty when it cannot be told.
QString loginName();

// The user's folder for the data of programs: XDG_DATA_HOME when it is an
// absolute path, otherwise ~/.local/share; on Windows the application data
// folder.
std::filesystem::path userDataFolder();

// The technician's guide, as messages name it: where the package installs
// it (deployment.md among the Debian package's documents; deployment.txt
// beside the program on Windows).
QString deploymentGuide();

// The folder that stands for the root of drive C: the root itself on
// Windows, the home folder elsewhere.
std::filesystem::path driveRoot();

// The local path for a fixed "c:\..." path, with the drive's root at `root`.
std::filesystem::path driveRootPath(const QString &windowsPath,
                                    const std::filesystem::path &root = driveRoot());

// A path as a person reads it in a message, and back.
QString displayPath(const std::filesystem::path &path);
std::filesystem::path localPath(const QString &path);

// The text of a path given as bytes (a command-line argument, a setting),
// which localPath() turns back into the same bytes. On Linux a name need
// not be UTF-8: each byte that is not part of valid UTF-8 is kept as a code
// of its own (U+DC80 to U+DCFF, as Python's "surrogateescape" does), where
// Qt would make it U+FFFD and so name another file.
QString pathText(const QByteArray &bytes);

// Makes `folder` for this account's eyes only, or checks that the existing
// one is this account's and that nobody else may change what is in it. An
// empty string, or why not, in French.
QString makePrivateFolder(const std::filesystem::path &folder);

// A name somebody else chose (a file a pupil made), fit to print on a
// terminal: control characters, which could clear the screen or fake a
// line, and bytes kept by pathText() each become "?".
QString printableName(const QString &name);
