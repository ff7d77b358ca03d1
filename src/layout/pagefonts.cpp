#include "layout/pagefonts.h"

#include "window/designfont.h"

#include <QFontDatabase>
#include <QHash>

QString readingFontFamily(ReadingFont font)
{
    switch (font) {
    case ReadingFont::Andika:
        return QStringLiteral("Andika");
    case ReadingFont::OpenDyslexic:
        return QStringLiteral("OpenDyslexic");
    case ReadingFont::Design:
        break;
    }
    return designFontFamily();
}

bool installReadingFont(ReadingFont font)
{
    if (font == ReadingFont::Design)
        return true;
    // The program's own copy even where the system has the family, and
    // once: registered last, it is the one Qt draws with, so that the page
    // is laid out the same on every machine (the system's may be another
    // version, or the same face in other outlines).
    static QHash<ReadingFont, bool> installed;
    if (const auto found = installed.constFind(font); found != installed.cend())
        return *found;
    const QString face = font == ReadingFont::Andika ? QStringLiteral(":/fonts/Andika-Bold.ttf")
                                                     : QStringLiteral(":/fonts/OpenDyslexic-Bold");
    return installed[font] = QFontDatabase::addApplicationFont(face) >= 0;
}

QFont pageFont(ReadingFont font, int pixelSize, int letterSpacingHundredths, int wordSpacingHundredths)
{
    QFont result(readingFontFamily(font));
    result.setStyleHint(QFont::SansSerif);
    result.setPixelSize(std::max(1, pixelSize));
    result.setBold(true);
    // Unhinted, a face's advances follow its size: a page laid out at one
    // size tells truly what the next will take, and each glyph costs less
    // to load, which start-up feels.
    result.setHintingPreference(QFont::PreferNoHinting);
    if (letterSpacingHundredths != 0)
        result.setLetterSpacing(QFont::AbsoluteSpacing, result.pixelSize() * letterSpacingHundredths / 100.0);
    if (wordSpacingHundredths != 0)
        result.setWordSpacing(result.pixelSize() * wordSpacingHundredths / 100.0);
    return result;
}
