#include "window/designfont.h"

#include <QApplication>
#include <QFontDatabase>

namespace {

const QString family = QStringLiteral("Liberation Sans");

} // namespace

void installDesignFont()
{
    static const bool installed = [] {
        // A system that has the face already (Debian's fonts-liberation2)
        // draws the same glyphs: registering a second copy would only cost
        // start-up time.
        if (!QFontDatabase::families().contains(family)) {
            for (const char *face : {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf"})
                QFontDatabase::addApplicationFont(QString::fromLatin1(face));
        }
        QFont font = QApplication::font();
        font.setFamily(family);
        font.setStyleHint(QFont::SansSerif);
        QApplication::setFont(font);
        return true;
    }();
    Q_UNUSED(installed);
}

QFont designFont(int pixelSize)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}
