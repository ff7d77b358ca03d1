#pragma once

#include "logfile/teachersfile.h"

#include <QFile>
#include <QString>

// Why `folder`, made by a test, is no place for a teacher's files, as the
// program judges it; empty when it is one. A build tree made with umask
// 0002 lets the account's group write on the way, and an ordinary
// account's /tmp lets anybody make folders: nothing read from there is safe,
// and the tests that need such a folder say so and skip.
inline QString unsafeTeachersPlace(const QString &folder)
{
    const QString probe = folder + QStringLiteral("/.probe");
    QFile file(probe);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 cannot be written").arg(folder);
    file.close();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    const logfile::TeachersFile read
        = logfile::readTeachersFile(QFile::encodeName(folder).toStdString(), ".probe", 4096);
    QFile::remove(probe);
    return read.ok ? QString() : QString::fromStdString(read.reason);
}

#define MORVEL2_SKIP_UNLESS_SAFE_PLACE(folder)                                                                  \
    do {                                                                                                       \
        if (const QString why = unsafeTeachersPlace(folder); !why.isEmpty())                                   \
            QSKIP(qPrintable(QStringLiteral("this test's folder is not a safe place: ") + why));               \
    } while (false)
