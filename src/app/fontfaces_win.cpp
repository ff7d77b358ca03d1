#include "app/fontfaces.h"

#include <QCoreApplication>
#include <QFile>
#include <QFont>

// The package's copies, in fonts\ beside the program; a program run where
// it was built has only those inside it.
QStringList designFontFaces()
{
    QStringList faces;
    for (const char *face : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf"}) {
        const QString installed = QCoreApplication::applicationDirPath() + QStringLiteral("/fonts/") + QLatin1String(face);
        faces.append(QFile::exists(installed) ? installed : QStringLiteral(":/fonts/") + QLatin1String(face));
    }
    return faces;
}

QFont classWindowFont(QFont font)
{
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}
