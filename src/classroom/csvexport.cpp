#include "classroom/csvexport.h"

#include <QIODevice>
#include <QStringList>

// What a spreadsheet would take for the start of a formula (=, +, -, @) or
// of a field of its own (a tab, a carriage return).
bool startsLikeAFormula(const QString &text)
{
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front());
}

QString csvField(const QString &text)
{
    // A pupil may write into their own log what they like: a field that a
    // spreadsheet would run as a formula (=HYPERLINK(...), =1+1) gets an
    // apostrophe in front, which LibreOffice and Excel both read as "this
    // is text", and which shows the teacher that it was not a number.
    const QString field = startsLikeAFormula(text) ? u'\'' + text : text;
    if (!field.contains(u';') && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

CsvExport::CsvExport(QIODevice &device)
    : m_device(device)
{
    m_ok = m_device.write("\xEF\xBB\xBF") == 3;
    writeRow({QStringLiteral("élève"), QStringLiteral("essai"), QStringLiteral("réponse 1"),
              QStringLiteral("réponse 2"), QStringLiteral("réponse 3"), QStringLiteral("réponse 4"),
              QStringLiteral("juste 1"), QStringLiteral("juste 2"), QStringLiteral("juste 3"),
              QStringLiteral("juste 4"), QStringLiteral("score"), QStringLiteral("remarque")});
}

void CsvExport::addAttempt(const QString &pupil, int attempt, const ReadRecord &record)
{
    QStringList fields{pupil, QString::number(attempt)};
    for (const QString &answer : record.answers)
        fields.append(shownAnswer(answer));
    for (const bool right : record.right)
        fields.append(right ? QStringLiteral("1") : QStringLiteral("0"));
    fields.append(QString::number(record.score()));
    fields.append(record.anyUntyped() ? QString::fromUtf8(untypedNote) : QString());
    writeRow(fields);
}

void CsvExport::writeRow(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted.append(csvField(field));
    const QByteArray line = (quoted.join(u';') + QStringLiteral("\r\n")).toUtf8();
    m_ok = m_ok && m_device.write(line) == line.size();
}
