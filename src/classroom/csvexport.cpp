#include "classroom/csvexport.h"

#include "classroom/reportcells.h"

#include <QIODevice>

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

CsvWriter::CsvWriter(QIODevice &device, const QStringList &header)
    : m_device(device)
{
    m_ok = m_device.write("\xEF\xBB\xBF") == 3;
    writeRow(header);
}

void CsvWriter::writeRow(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted.append(csvField(field));
    const QByteArray line = (quoted.join(u';') + QStringLiteral("\r\n")).toUtf8();
    m_ok = m_ok && m_device.write(line) == line.size();
}

CsvExport::CsvExport(QIODevice &device)
    : m_writer(device, {QStringLiteral("élève"), QStringLiteral("essai"), QStringLiteral("réponse 1"),
                        QStringLiteral("réponse 2"), QStringLiteral("réponse 3"), QStringLiteral("réponse 4"),
                        QStringLiteral("juste 1"), QStringLiteral("juste 2"), QStringLiteral("juste 3"),
                        QStringLiteral("juste 4"), QStringLiteral("score"), QStringLiteral("remarque")})
{
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
    m_writer.writeRow(fields);
}

namespace {

QStringList tableHeader(ReportRows rows)
{
    QStringList header = rowHeaders(rows);
    // A score written "2/4" would be read as a date: a number, out of 4.
    const qsizetype score = header.indexOf(QStringLiteral("score"));
    header[score] = QStringLiteral("score sur %1").arg(Content::questionCount);
    header[score + 1] = QStringLiteral("meilleur sur %1").arg(Content::questionCount);
    return header << QStringLiteral("remarque");
}

QStringList tableRow(const PupilSummary &row)
{
    const bool any = row.attempts > 0;
    QStringList fields{row.name, QString::number(row.attempts)};
    for (std::size_t question = 0; question < std::size_t(Content::questionCount); ++question)
        fields.append(any ? answerCell(row.last, question) : QString());
    fields.append(any ? QString::number(row.last.score()) : QString());
    fields.append(any ? QString::number(row.best) : QString());
    fields.append(row.lastChanged.isValid() ? row.lastChanged.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                            : QString());
    QStringList remarks;
    if (any && row.last.anyUntyped())
        remarks.append(QString::fromUtf8(untypedNote));
    if (row.ownerUnverified)
        remarks.append(QString::fromUtf8(ownerUnverifiedNote));
    return fields << remarks.join(QStringLiteral(" ; "));
}

} // namespace

bool writeClassTableCsv(QIODevice &device, const ClassReport &report, const QList<qsizetype> &order,
                        const std::function<bool(qint64, qint64)> &progress)
{
    CsvWriter csv(device, tableHeader(report.rowKind()));
    const qsizetype count = order.isEmpty() ? report.rowCount() : order.size();
    for (qsizetype i = 0; i < count && csv.ok(); ++i) {
        if (progress && i % 1024 == 0 && !progress(i, count))
            return false;
        csv.writeRow(tableRow(report.row(order.isEmpty() ? i : order.at(i))));
    }
    return csv.ok();
}
