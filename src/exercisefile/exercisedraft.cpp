#include "exercisefile/exercisedraft.h"

#include "record/windows1252.h"

#include <QRegularExpression>

#include <algorithm>
#include <climits>

namespace {

bool isInvisible(char32_t c)
{
    // Control characters, and the line and paragraph separators, which a
    // label would break a line at.
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029;
}

QString codePoint(char32_t c)
{
    return QStringLiteral("U+") + QStringLiteral("%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

// What is wrong with the characters of a text, said after its name ("le
// titre contient..."), or nothing. A text the record holds must also be one
// the results log's code page can write: the record never changes it.
QString characterFault(const QString &text, bool inRecord)
{
    for (const char32_t c : text.toUcs4()) {
        if (c == U'\t')
            return QStringLiteral("contient une tabulation : mets une espace à sa place");
        if (isInvisible(c))
            return QStringLiteral("contient un caractère invisible (%1) : retire-le").arg(codePoint(c));
        if (inRecord && !windows1252Byte(c))
            return QStringLiteral("contient « %1 » (%2), que le fichier de résultats ne peut pas écrire "
                                  "(Windows-1252) : remplace-le")
                .arg(QString::fromUcs4(&c, 1), codePoint(c));
    }
    return {};
}

class FaultList
{
public:
    void add(int line, const QString &text, ExerciseField field, int index = -1)
    {
        m_faults.append({line, text, field, index});
    }

    // An item's text: not empty, not too long, only characters it may hold.
    void checkText(const DraftItem &item, const QString &name, qsizetype maxLength, bool inRecord,
                   ExerciseField field, int index = -1)
    {
        if (item.text.isEmpty())
            add(item.line, QStringLiteral("%1 est vide").arg(name), field, index);
        else if (const qsizetype length = item.text.toUcs4().size(); length > maxLength)
            add(item.line, QStringLiteral("%1 a %2 caractères : %3 au plus").arg(name).arg(length).arg(maxLength),
                field, index);
        else if (const QString fault = characterFault(item.text, inRecord); !fault.isEmpty())
            add(item.line, name + u' ' + fault, field, index);
    }

    QList<ExerciseFault> sorted()
    {
        sortFaults(m_faults);
        return m_faults;
    }

private:
    QList<ExerciseFault> m_faults;
};

void checkCode(const std::optional<DraftItem> &code, FaultList &faults)
{
    if (!code) {
        faults.add(0, QStringLiteral("il manque le code de l'exercice : une ligne « code : 301 », trois chiffres"),
                   ExerciseField::Code);
        return;
    }
    const bool threeDigits = code->text.size() == 3
                             && std::all_of(code->text.cbegin(), code->text.cend(),
                                            [](QChar c) { return c >= u'0' && c <= u'9'; });
    if (!threeDigits)
        faults.add(code->line, QStringLiteral("le code doit avoir trois chiffres, comme 301 : « %1 » n'en est pas un")
                                   .arg(code->text.left(20)), ExerciseField::Code);
    else if (code->text == builtInExercise().code)
        faults.add(code->line, QStringLiteral("le code %1 est celui de l'exercice livré avec le programme : "
                                              "choisis-en un autre").arg(code->text), ExerciseField::Code);
}

// "1. ", "1- ", "1) ": the program numbers the paragraphs itself.
bool startsWithItsNumber(const QString &text, int number)
{
    static const QRegularExpression numbered(QStringLiteral("^(\\d+)\\s*[.)\\-–:]"));
    const QRegularExpressionMatch match = numbered.match(text);
    return match.hasMatch() && match.captured(1).toInt() == number;
}

void checkParagraphs(const QList<DraftItem> &paragraphs, FaultList &faults)
{
    for (int i = 0; i < paragraphs.size(); ++i) {
        const DraftItem &paragraph = paragraphs[i];
        if (i == maxParagraphs)
            faults.add(paragraph.line, QStringLiteral("un exercice a au plus %1 paragraphes, car la réponse est "
                                                      "un seul chiffre : celui-ci est le %2e")
                                           .arg(maxParagraphs).arg(i + 1), ExerciseField::Paragraph, i);
        faults.checkText(paragraph, QStringLiteral("le paragraphe %1").arg(i + 1), maxParagraphLength, false,
                         ExerciseField::Paragraph, i);
        if (startsWithItsNumber(paragraph.text, i + 1))
            faults.add(paragraph.line, QStringLiteral("le paragraphe %1 commence par son numéro : le programme "
                                                      "numérote les paragraphes lui-même, retire-le").arg(i + 1),
                       ExerciseField::Paragraph, i);
    }
    if (paragraphs.size() < minParagraphs)
        faults.add(0, QStringLiteral("il faut au moins %1 paragraphes : ce fichier en a %2")
                          .arg(minParagraphs).arg(paragraphs.size()), ExerciseField::Paragraph);
}

void checkIdeas(const QList<DraftIdea> &ideas, qsizetype paragraphCount, FaultList &faults)
{
    for (int i = 0; i < ideas.size(); ++i) {
        const DraftIdea &idea = ideas[i];
        if (i == maxIdeas)
            faults.add(idea.line, QStringLiteral("un exercice a au plus %1 idées : celle-ci est la %2e")
                                      .arg(maxIdeas).arg(i + 1), ExerciseField::Idea, i);
        faults.checkText({idea.text, idea.line}, QStringLiteral("l'idée"), maxIdeaLength, true, ExerciseField::Idea, i);
        if (idea.paragraph < 1 || idea.paragraph > maxParagraphs)
            faults.add(idea.line, QStringLiteral("le paragraphe de l'idée doit être un chiffre de 1 à %1")
                                      .arg(maxParagraphs), ExerciseField::Idea, i);
        else if (idea.paragraph > paragraphCount && paragraphCount >= minParagraphs)
            faults.add(idea.line, QStringLiteral("l'idée renvoie au paragraphe %1, mais le texte n'en a que %2")
                                      .arg(idea.paragraph).arg(paragraphCount), ExerciseField::Idea, i);
        for (int earlier = 0; earlier < i; ++earlier) {
            if (!idea.text.isEmpty() && ideas[earlier].text == idea.text) {
                faults.add(idea.line, ideas[earlier].line > 0
                                          ? QStringLiteral("cette idée est déjà écrite ligne %1").arg(ideas[earlier].line)
                                          : QStringLiteral("l'idée « %1 » est écrite deux fois").arg(idea.text),
                           ExerciseField::Idea, i);
                break;
            }
        }
    }
    if (ideas.isEmpty())
        faults.add(0, QStringLiteral("il faut au moins une idée : une ligne « idée au paragraphe 1 : … »"),
                   ExerciseField::Idea);
}

} // namespace

void sortFaults(QList<ExerciseFault> &faults)
{
    std::stable_sort(faults.begin(), faults.end(), [](const ExerciseFault &a, const ExerciseFault &b) {
        return (a.line == 0 ? INT_MAX : a.line) < (b.line == 0 ? INT_MAX : b.line);
    });
}

QString describeFault(const ExerciseFault &fault)
{
    return fault.line > 0 ? QStringLiteral("ligne %1 : %2").arg(fault.line).arg(fault.text) : fault.text;
}

QList<ExerciseFault> draftFaults(const ExerciseDraft &draft)
{
    FaultList faults;
    checkCode(draft.code, faults);
    if (draft.title)
        faults.checkText(*draft.title, QStringLiteral("le titre"), maxTitleLength, true, ExerciseField::Title);
    else
        faults.add(0, QStringLiteral("il manque le titre de l'exercice : une ligne « titre : … »"),
                   ExerciseField::Title);
    if (draft.readingInstruction)
        faults.checkText(*draft.readingInstruction, QStringLiteral("la consigne de lecture"), maxInstructionLength,
                         false, ExerciseField::ReadingInstruction);
    if (draft.questionInstruction)
        faults.checkText(*draft.questionInstruction, QStringLiteral("la consigne des questions"),
                         maxInstructionLength, false, ExerciseField::QuestionInstruction);
    checkParagraphs(draft.paragraphs, faults);
    checkIdeas(draft.ideas, draft.paragraphs.size(), faults);
    return faults.sorted();
}

QString numberedParagraph(int number, const QString &text)
{
    return QString::number(number) + QStringLiteral(". ") + text;
}

Exercise exerciseFrom(const ExerciseDraft &draft)
{
    Exercise exercise;
    exercise.code = draft.code ? draft.code->text : QString();
    exercise.label = draft.title ? draft.title->text : QString();
    for (int i = 0; i < draft.paragraphs.size(); ++i)
        exercise.paragraphs.append(numberedParagraph(i + 1, draft.paragraphs[i].text));
    exercise.readingInstruction =
        draft.readingInstruction ? draft.readingInstruction->text : defaultReadingInstruction();
    exercise.questionInstruction = draft.questionInstruction ? draft.questionInstruction->text
                                                             : defaultQuestionInstruction(exercise.paragraphCount());
    for (const DraftIdea &idea : draft.ideas)
        exercise.ideas.append({idea.text, idea.paragraph});
    return exercise;
}

ExerciseDraft draftOf(const Exercise &exercise)
{
    ExerciseDraft draft;
    draft.code = DraftItem{exercise.code.trimmed(), 0};
    draft.title = DraftItem{exercise.label.trimmed(), 0};
    if (exercise.readingInstruction != defaultReadingInstruction())
        draft.readingInstruction = DraftItem{exercise.readingInstruction.trimmed(), 0};
    if (exercise.questionInstruction != defaultQuestionInstruction(exercise.paragraphCount()))
        draft.questionInstruction = DraftItem{exercise.questionInstruction.trimmed(), 0};
    for (int i = 0; i < exercise.paragraphCount(); ++i) {
        const QString number = numberedParagraph(i + 1, {});
        const QString &shown = exercise.paragraphs[i];
        draft.paragraphs.append({(shown.startsWith(number) ? shown.sliced(number.size()) : shown).trimmed(), 0});
    }
    for (const Idea &idea : exercise.ideas)
        draft.ideas.append({idea.prompt.trimmed(), idea.paragraph, 0});
    return draft;
}
