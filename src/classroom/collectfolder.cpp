#include "classroom/collectfolder.h"

QString collectFolderName(const QString &className, const QDateTime &when,
                          const std::function<bool(const QString &)> &taken)
{
    const QString base = QStringLiteral("%1 %2").arg(className.isEmpty() ? QStringLiteral("classe") : className,
                                                     when.toString(QStringLiteral("yyyy-MM-dd HH'h'mm")));
    QString name = base;
    for (int number = 2; taken(name); ++number)
        name = QStringLiteral("%1 (%2)").arg(base).arg(number);
    return name;
}
