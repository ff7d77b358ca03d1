#include "exercisefile/exercisewriter.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

void addLine(QByteArray &text, const QString &name, const QString &value)
{
    text += (name + QStringLiteral(" : ") + value).toUtf8() + '\n';
}

} // namespace

QByteArray exerciseFileText(const Exercise &exercise)
{
    const ExerciseDraft draft = draftOf(exercise);
    QByteArray text = "# Un exercice de morvel2 : sa forme est décrite dans exercices.md.\n";
    addLine(text, QStringLiteral("code"), draft.code ? draft.code->text : QString());
    addLine(text, QStringLiteral("titre"), draft.title ? draft.title->text : QString());
    if (draft.readingInstruction)
        addLine(text, QStringLiteral("consigne de lecture"), draft.readingInstruction->text);
    if (draft.questionInstruction)
        addLine(text, QStringLiteral("consigne des questions"), draft.questionInstruction->text);
    // Each paragraph on its field's line, so that no text of it can be read
    // back as a comment or as another field.
    for (const DraftItem &paragraph : draft.paragraphs) {
        text += '\n';
        addLine(text, QStringLiteral("paragraphe"), paragraph.text);
    }
    text += '\n';
    for (const DraftIdea &idea : draft.ideas)
        addLine(text, QStringLiteral("idée au paragraphe %1").arg(idea.paragraph), idea.text);
    return text;
}

QString writeFileWhole(const QString &fileName, const QByteArray &bytes)
{
    const bool replacing = QFileInfo::exists(fileName);
    QSaveFile file(fileName);
    // Never written in place: a failure must leave the old file whole.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // Pupils read it; nobody but its owner may change it.
    if (!replacing)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                            | QFileDevice::ReadOther);
    // commit() flushes the temporary file to the disk before renaming it.
    if (file.write(bytes) != bytes.size() || !file.commit())
        return file.errorString();
    return {};
}

ExerciseSaved saveExerciseFile(const Exercise &exercise, const QString &fileName)
{
    ExerciseSaved outcome;
    outcome.faults = draftFaults(draftOf(exercise));
    if (!outcome.faults.isEmpty())
        return outcome;
    outcome.failure = writeFileWhole(fileName, exerciseFileText(exercise));
    outcome.saved = outcome.failure.isEmpty();
    return outcome;
}
