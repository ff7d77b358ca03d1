#include "record/record.h"

#include "exercise/state.h"
#include "record/windows1252.h"

namespace {

constexpr qsizetype printZoneWidth = 14;

bool isControl(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

// Text made safe for a one-line, one-byte-per-character record.
QString safeText(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (const char32_t c : text.toUcs4()) {
        // Every character the code page holds is in the first plane.
        safe.append(isControl(c) ? u' ' : QChar(static_cast<char16_t>(representable(c))));
    }
    return safe;
}

// Writes items the way a print statement lays them out on a file line.
class PrintLine
{
public:
    enum Separator { Semicolon, Comma };

    void print(const Value &item, Separator after)
    {
        if (item.isNumber())
            m_line += item.numberText() + u' ';
        else
            m_line += safeText(item.text());
        if (after == Comma) {
            // Always at least one space: from the start of a zone the comma
            // still moves on to the next one.
            const qsizetype column = m_line.size() + 1;
            const qsizetype nextZone = ((column - 1) / printZoneWidth + 1) * printZoneWidth + 1;
            m_line += QString(nextZone - column, u' ');
        }
    }

    QString text() const { return m_line; }

private:
    QString m_line;
};

// The score as a bare number: the right answers, "0" when none was right.
QString scoreText(const Value &rightCount)
{
    return rightCount.numberText().trimmed();
}

} // namespace

QStringList exercisePrompts()
{
    QStringList prompts;
    for (const Idea &idea : builtInExercise().ideas)
        prompts.append(idea.prompt);
    return prompts;
}

RecordFields recordFields(const Value &rightCount, const Value &wrongCount, const QList<Value> &answers,
                          const QStringList &prompts)
{
    RecordFields fields{rightCount, wrongCount, {}};
    for (qsizetype row = 0; row < prompts.size(); ++row)
        fields.rows.append({prompts[row], answers.value(row)});
    return fields;
}

RecordFields recordFields(const ExerciseState &state)
{
    RecordFields fields{state.rightCount, state.wrongCount, {}, state.exerciseCode, state.exerciseLabel};
    for (int row = 0; row <= state.lastQuestionIndex.number() && row < rowArraySize; ++row)
        fields.rows.append({state.recordCaption[std::size_t(row)], state.typedAnswer[std::size_t(row)]});
    return fields;
}

namespace {

// Items 1 and 2: how the record names its exercise.
void printLead(PrintLine &line, const QString &code, const QString &label)
{
    line.print(code, PrintLine::Comma);
    line.print(label, PrintLine::Semicolon);
}

} // namespace

QString recordLeadText(const QString &code, const QString &label)
{
    PrintLine line;
    printLead(line, code, label);
    return line.text();
}

QString recordText(const RecordFields &fields)
{
    PrintLine line;
    printLead(line, fields.code, fields.label);
    line.print(QStringLiteral("  justes:"), PrintLine::Semicolon);
    line.print(fields.rightCount, PrintLine::Semicolon);
    line.print(QStringLiteral("   faux:"), PrintLine::Semicolon);
    line.print(fields.wrongCount, PrintLine::Semicolon);
    line.print(QStringLiteral("   score:"), PrintLine::Semicolon);
    line.print(scoreText(fields.rightCount), PrintLine::Comma);
    for (const RecordRow &row : fields.rows) {
        line.print(row.prompt, PrintLine::Comma);
        line.print(row.answer, PrintLine::Comma);
    }
    return line.text();
}

QByteArray recordLine(const RecordFields &fields)
{
    return toWindows1252(recordText(fields)) + "\r\n";
}
