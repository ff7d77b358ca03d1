#include "app/applicationsetup.h"

#include "app/fontfaces.h"
#include "window/designfont.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QWidget>

namespace {

// A system that has the face already (Debian's fonts-liberation2) draws the
// same glyphs: registering a second copy would only cost start-up time.
void installDesignFont()
{
    if (!QFontDatabase::families().contains(designFontFamily())) {
        for (const QString &face : designFontFaces())
            QFontDatabase::addApplicationFont(face);
    }
    QFont font = QApplication::font();
    font.setFamily(designFontFamily());
    font.setStyleHint(QFont::SansSerif);
    QApplication::setFont(font);
}

// Whatever the toolkit itself shows, in French.
void installQtFrench()
{
    static QTranslator qtFrench;
    if (qtFrench.load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtFrench);
}

// Presented to assistive technology as the application's window (a plain
// top-level widget would be a mere "filler"), so that its title is announced.
QAccessibleInterface *windowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("Morvel2") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void setUpApplication()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QApplication::setApplicationName(QStringLiteral("morvel2"));
    installDesignFont();
    installQtFrench();
    QAccessible::installFactory(windowAccessible);
}
