#include "app/fontfaces.h"

#include <QFont>

QStringList designFontFaces()
{
    return {QStringLiteral(":/fonts/LiberationSans-Regular.ttf"), QStringLiteral(":/fonts/LiberationSans-Bold.ttf")};
}

QFont classWindowFont(QFont font)
{
    return font;
}
