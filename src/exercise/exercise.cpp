#include "exercise/exercise.h"

#include "exercise/content.h"

QString Exercise::passage() const
{
    return paragraphs.join(QStringLiteral("\n\n"));
}

QString Exercise::expectedAnswer(int row) const
{
    return QString::number(ideas.at(row).paragraph);
}

QString Exercise::ideaText(int row) const
{
    QString text = ideas.at(row).prompt;
    if (text.endsWith(QStringLiteral("N°")))
        text.chop(2);
    return text.trimmed();
}

const Exercise &builtInExercise()
{
    static const Exercise exercise = [] {
        Exercise built;
        built.code = Content::exerciseCode();
        built.label = Content::exerciseLabel();
        built.readingInstruction = Content::readingInstruction();
        built.questionInstruction = Content::questionInstruction();
        built.paragraphs = Content::passage().split(QStringLiteral("\n\n"));
        for (int row = 0; row < Content::questionCount; ++row)
            built.ideas.append({Content::prompt(row), Content::expectedAnswer(row).toInt()});
        built.builtIn = true;
        return built;
    }();
    return exercise;
}

QString defaultReadingInstruction()
{
    return Content::readingInstruction();
}

QString defaultQuestionInstruction(int paragraphCount)
{
    return Content::questionInstruction().replace(QStringLiteral("de 1 à 4"),
                                                  QStringLiteral("de 1 à %1").arg(paragraphCount));
}
