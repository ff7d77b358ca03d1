#include "checkbox/feedbackpicture.h"

#include "results/logpaths.h"

#include <QFileInfo>

QPixmap feedbackPicture(const QString &windowsPath)
{
    QPixmap picture(displayPath(driveRootPath(windowsPath)));
    if (!picture.isNull())
        return picture;
    const QString name = windowsPath.section(u'\\', -1);
    return QPixmap(QStringLiteral(":/pictures/") + QFileInfo(name).completeBaseName()
                   + QStringLiteral(".png"));
}
