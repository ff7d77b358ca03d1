#pragma once

#include <QDateTime>
#include <QString>

#include <functional>

// The folder a class is collected into from the teacher's window: named
// after the class and the time, "cm1 2026-12-09 10h42", then " (2)", " (3)"…
// while `taken` says a name is already used.
QString collectFolderName(const QString &className, const QDateTime &when,
                          const std::function<bool(const QString &)> &taken);
