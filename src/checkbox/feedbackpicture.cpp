#include "checkbox/feedbackpicture.h"

#include "paths/paths.h"

#include <QFileInfo>

QPixmap feedbackPicture(const std::filesystem::path &driveRoot, const QString &windowsPath)
{
    QPixmap picture(displayPath(driveRootPath(windowsPath, driveRoot)));
    if (!picture.isNull())
        return picture;
    const QString name = windowsPath.section(u'\\', -1);
    return QPixmap(QStringLiteral(":/pictures/") + QFileInfo(name).completeBaseName()
                   + QStringLiteral(".png"));
}
