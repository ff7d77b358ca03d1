#pragma once

#include "exercise/exercise.h"

#include <QList>
#include <QString>

#include <optional>

// An exercise as a teacher writes it, before it is checked: each item with
// the line of the file it came from (0 when it came from no file, as in the
// editor). Every rule an exercise must follow is checked here, once, for
// the file's reader and for its writer alike, so that a file the program
// writes is always one it reads back.

// The limits of a teacher's exercise.
inline constexpr qsizetype maxTitleLength = 80;
inline constexpr qsizetype maxInstructionLength = 200;
inline constexpr qsizetype maxParagraphLength = 2000;
inline constexpr qsizetype maxIdeaLength = 100;

// Which item of the exercise a fault is about, so that an editor can say it
// beside the field.
enum class ExerciseField { File, Code, Title, ReadingInstruction, QuestionInstruction, Paragraph, Idea };

struct ExerciseFault
{
    int line = 0; // in the file, from 1; 0 for the file as a whole
    QString text; // in French, for the teacher
    ExerciseField field = ExerciseField::File;
    int index = -1; // which paragraph or idea, from 0

    bool operator==(const ExerciseFault &) const = default;
};

// "ligne 12 : ..." or the text alone for the file as a whole.
QString describeFault(const ExerciseFault &fault);

// In the order of the file, the faults of the file as a whole last.
void sortFaults(QList<ExerciseFault> &faults);

struct DraftItem
{
    QString text; // as written, spaces at both ends removed
    int line = 0;
};

struct DraftIdea
{
    QString text;
    int paragraph = 0; // as written: 1 to 9 when the file could say it
    int line = 0;
};

struct ExerciseDraft
{
    std::optional<DraftItem> code;
    std::optional<DraftItem> title;
    std::optional<DraftItem> readingInstruction;  // the built-in one's when absent
    std::optional<DraftItem> questionInstruction; // likewise, for its paragraphs
    QList<DraftItem> paragraphs; // without their numbers: the program adds them
    QList<DraftIdea> ideas;
};

// Every fault of the draft, in the order of the file.
QList<ExerciseFault> draftFaults(const ExerciseDraft &draft);

// The exercise a faultless draft stands for, its paragraphs numbered.
Exercise exerciseFrom(const ExerciseDraft &draft);

// A teacher's exercise as a draft, the numbers taken off its paragraphs and
// the instructions left out where they are the default ones.
ExerciseDraft draftOf(const Exercise &exercise);

// How the pupil's page numbers paragraph `number` (from 1): "1. ".
QString numberedParagraph(int number, const QString &text);
