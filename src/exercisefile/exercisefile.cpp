#include "exercisefile/exercisefile.h"

#include "classroom/files.h"
#include "exercise/judge.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

// A field's name as the reader compares it: lower case, without accents or
// extra spaces, so that "Idée  au paragraphe 2" and "idee au paragraphe 2"
// are the same field.
QString normalisedName(const QString &name)
{
    return foldAccents(name.toLower()).simplified();
}

struct Field
{
    enum Kind { Code, Title, ReadingInstruction, QuestionInstruction, Paragraph, Idea } kind;
    QString value;
    int paragraph = 0; // of an idea: 0 when it is not a digit from 1 to 9
};

std::optional<Field> fieldOf(const QString &line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return std::nullopt;
    const QString name = normalisedName(line.first(colon));
    const QString value = line.sliced(colon + 1).trimmed();
    static const QList<std::pair<QString, Field::Kind>> names = {
        {QStringLiteral("code"), Field::Code},
        {QStringLiteral("titre"), Field::Title},
        {QStringLiteral("consigne de lecture"), Field::ReadingInstruction},
        {QStringLiteral("consigne des questions"), Field::QuestionInstruction},
        {QStringLiteral("paragraphe"), Field::Paragraph},
    };
    for (const auto &[known, kind] : names)
        if (name == known)
            return Field{kind, value};
    static const QRegularExpression idea(QStringLiteral("^idee(?: au paragraphe ?(.*))?$"));
    const QRegularExpressionMatch match = idea.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const QString number = match.captured(1);
    const bool digit = number.size() == 1 && number[0] >= u'1' && number[0] <= u'9';
    return Field{Field::Idea, value, digit ? number.toInt() : 0};
}

class Parser
{
public:
    explicit Parser(QList<ExerciseFault> &faults) : m_faults(faults) {}

    void take(int line, const QString &text)
    {
        const QString trimmed = text.trimmed();
        if (trimmed.isEmpty()) {
            m_inParagraph = false;
            return;
        }
        if (trimmed.startsWith(u'#'))
            return;
        const std::optional<Field> field = fieldOf(trimmed);
        if (m_inParagraph && !field) {
            QString &paragraph = m_draft.paragraphs.last().text;
            paragraph += paragraph.isEmpty() ? trimmed : u' ' + trimmed;
            return;
        }
        if (m_inParagraph)
            fault(line, QStringLiteral("laisse une ligne vide avant cette ligne : sans elle, elle serait lue "
                                       "comme la suite du paragraphe %1").arg(m_draft.paragraphs.size()));
        m_inParagraph = false;
        if (!field) {
            fault(line, QStringLiteral("« %1 » n'est ni un champ de l'exercice (code, titre, consigne de lecture, "
                                       "consigne des questions, paragraphe, idée au paragraphe N) ni la suite "
                                       "d'un paragraphe").arg(shortened(trimmed)));
            return;
        }
        takeField(line, *field);
    }

    void notText(int line)
    {
        fault(line, QStringLiteral("cette ligne n'est pas du texte UTF-8 : enregistre le fichier en UTF-8"));
    }

    ExerciseDraft draft() const { return m_draft; }

private:
    static QString shortened(const QString &text)
    {
        return text.size() > 40 ? text.first(40) + QStringLiteral("…") : text;
    }

    void fault(int line, const QString &text) { m_faults.append({line, text, ExerciseField::File, -1}); }

    void once(std::optional<DraftItem> &item, int line, const QString &value, const QString &given)
    {
        if (item)
            fault(line, QStringLiteral("%1 est déjà donné ligne %2").arg(given).arg(item->line));
        else
            item = DraftItem{value, line};
    }

    void takeField(int line, const Field &field)
    {
        switch (field.kind) {
        case Field::Code: once(m_draft.code, line, field.value, QStringLiteral("le code")); break;
        case Field::Title: once(m_draft.title, line, field.value, QStringLiteral("le titre")); break;
        case Field::ReadingInstruction:
            once(m_draft.readingInstruction, line, field.value, QStringLiteral("la consigne de lecture"));
            break;
        case Field::QuestionInstruction:
            once(m_draft.questionInstruction, line, field.value, QStringLiteral("la consigne des questions"));
            break;
        case Field::Paragraph:
            m_draft.paragraphs.append({field.value, line});
            m_inParagraph = true;
            break;
        case Field::Idea: m_draft.ideas.append({field.value, field.paragraph, line}); break;
        }
    }

    QList<ExerciseFault> &m_faults;
    ExerciseDraft m_draft;
    bool m_inParagraph = false;
};

} // namespace

ExerciseDraft parseExerciseDraft(QByteArrayView bytes, QList<ExerciseFault> &faults)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3); // the mark some editors put first
    Parser parser(faults);
    int number = 0;
    while (!bytes.isEmpty() || number == 0) {
        ++number;
        const qsizetype end = bytes.indexOf('\n');
        QByteArrayView line = end < 0 ? bytes : bytes.first(end);
        bytes = end < 0 ? QByteArrayView() : bytes.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = decoder.decode(line);
        if (decoder.hasError())
            parser.notText(number);
        else
            parser.take(number, text);
    }
    return parser.draft();
}

ExerciseRead parseExerciseFile(QByteArrayView bytes)
{
    ExerciseRead read;
    if (bytes.size() > maxExerciseFileBytes) {
        read.faults.append({0, QStringLiteral("le fichier dépasse %1 Kio : ce n'est pas un exercice")
                                   .arg(maxExerciseFileBytes / 1024)});
        return read;
    }
    const ExerciseDraft draft = parseExerciseDraft(bytes, read.faults);
    read.faults += draftFaults(draft);
    sortFaults(read.faults);
    if (read.faults.isEmpty())
        read.exercise = exerciseFrom(draft);
    return read;
}

ExerciseRead readExerciseFile(const std::filesystem::path &path)
{
    QString reason;
    const int fd = openLogForReading(path, ReadRules{true, {}}, reason);
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ExerciseRead read;
        read.faults.append({0, QStringLiteral("le fichier ne peut pas être lu : %1")
                                   .arg(fd < 0 ? reason : file.errorString())});
        return read;
    }
    // One byte past the limit tells a file that is too large.
    const QByteArray bytes = file.read(maxExerciseFileBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        ExerciseRead read;
        read.faults.append({0, QStringLiteral("le fichier ne peut pas être lu : %1").arg(file.errorString())});
        return read;
    }
    return parseExerciseFile(bytes);
}

QString describeFaults(const QList<ExerciseFault> &faults)
{
    QString text;
    for (const ExerciseFault &fault : faults)
        text += describeFault(fault) + u'\n';
    return text;
}
