#include "teacher/exercisepreview.h"

#include "saving/logsetting.h"
#include "window/morvel2.h"

#include <QScreen>

Morvel2 *openPreview(const Exercise &exercise, const ReadingSettings &reading, const PageSetting &page,
                     QWidget *owner)
{
    WindowContext context{{}, {}, {}, {}, {exercise}, page, reading, true};
    auto *preview = new Morvel2(std::move(context));
    preview->setAttribute(Qt::WA_DeleteOnClose);
    if (owner)
        QObject::connect(owner, &QObject::destroyed, preview, &QObject::deleteLater);
    preview->show();
    return preview;
}

PageSetting machinePageSetting()
{
    const FoundSetting found = findSetting(logSettingSources(), QStringLiteral("window"), QStringLiteral("page"));
    return readPageSetting(found.value, found.source, found.problem).setting;
}

QList<std::pair<QString, ReadingSettings>> previewReadingChoices()
{
    ReadingSettings larger;
    larger.textSizePercent = 150;
    ReadingSettings early;
    early.font = ReadingFont::Andika;
    early.textSizePercent = 125;
    early.lineSpacingPercent = 150;
    ReadingSettings dyslexic;
    dyslexic.font = ReadingFont::OpenDyslexic;
    dyslexic.lineSpacingPercent = 150;
    dyslexic.letterSpacingHundredths = 10;
    dyslexic.wordSpacingHundredths = 20;
    dyslexic.background = PassageBackground::Cream;
    dyslexic.readingRuler = true;
    return {
        {QStringLiteral("sans adaptation"), {}},
        {QStringLiteral("texte plus grand (150 %)"), larger},
        {QStringLiteral("Andika, texte à 125 %, interligne 1,5"), early},
        {QStringLiteral("OpenDyslexic, espacé, fond crème, règle de lecture"), dyslexic},
    };
}
