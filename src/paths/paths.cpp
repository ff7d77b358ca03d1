#include "paths/paths.h"

QString printableName(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        const bool keptByte = c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF;
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format || keptByte)
            c = u'?';
    }
    return shown;
}
