#include "window/designfont.h"

QString designFontFamily()
{
    return QStringLiteral("Liberation Sans");
}

QFont designFont(int pixelSize)
{
    QFont font(designFontFamily());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}
