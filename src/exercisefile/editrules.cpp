#include "exercisefile/editrules.h"

#include "exercise/judge.h"
#include "exercisefile/exercisecode.h"
#include "exercisefile/exercisedraft.h"
#include "exercisefile/passagetext.h"

#include <QSet>

namespace {

// A title's words as a file's name takes them: lower case, no accents,
// anything else a hyphen, at most 40 characters.
QString titleWords(const QString &title)
{
    QString words;
    for (const QChar c : foldAccents(title.toLower())) {
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9'))
            words += c;
        else if (!words.isEmpty() && !words.endsWith(u'-'))
            words += u'-';
    }
    words.truncate(40);
    while (words.endsWith(u'-'))
        words.chop(1);
    return words;
}

} // namespace

QString proposeNewCode(const QStringList &folderCodes, const HasAttempts &hasAttempts)
{
    QStringList used = folderCodes;
    for (;;) {
        const QString code = proposeExerciseCode(used);
        if (code.isEmpty() || !hasAttempts || !hasAttempts(code))
            return code;
        used.append(code);
    }
}

QString exerciseFileName(const QString &code, const QString &title, const QStringList &taken)
{
    QSet<QString> names;
    for (const QString &name : taken)
        names.insert(name.toLower());
    const QString words = titleWords(title);
    const QString stem = words.isEmpty() ? code : code + u'-' + words;
    QString name = stem + QStringLiteral(".txt");
    for (int other = 2; names.contains(name.toLower()); ++other)
        name = QStringLiteral("%1-%2.txt").arg(stem).arg(other);
    return name;
}

bool needsNewCode(const Exercise &original, const Exercise &edited, bool originalHasAttempts)
{
    Exercise same = edited;
    same.code = original.code;
    same.builtIn = original.builtIn;
    return originalHasAttempts && same != original;
}

Exercise copyOf(const Exercise &source, const QString &code)
{
    ExerciseDraft draft = draftOf(source);
    QStringList paragraphs;
    for (const DraftItem &paragraph : std::as_const(draft.paragraphs))
        paragraphs.append(paragraph.text);
    const QStringList bare = passageParagraphs(pastedPassage(passageBoxText(paragraphs)).text);
    for (int i = 0; i < draft.paragraphs.size() && i < bare.size(); ++i)
        draft.paragraphs[i].text = bare[i];
    for (int row = 0; row < draft.ideas.size(); ++row)
        draft.ideas[row].text = source.ideaText(row);
    draft.code = DraftItem{code, 0};
    const QString copied = QStringLiteral(" (copie)");
    draft.title = DraftItem{source.label.left(maxTitleLength - copied.size()) + copied, 0};
    return exerciseFrom(draft);
}
