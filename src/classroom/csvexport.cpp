#include "classroom/csvexport.h"

#include "classroom/reportcells.h"

#include <QIODevice>

// What a spreadsheet would take for the start of a formula (=, +, -, @) or
// of a field of its own (a tab, a carriage return).
bool startsLikeAFormula(const QString &text)
{
    return !text.isEmpty() && QStringLiteral("=+-@\t\r").contains(text.front());
}

QString csvField(const QString &text, QChar separator)
{
    // A pupil may write into their own log what they like: a field that a
    // spreadsheet would run as a formula (=HYPERLINK(...), =1+1) gets an
    // apostrophe in front, which LibreOffice and Excel both read as "this
    // is text", and which shows the teacher that it was not a number.
    const QString field = startsLikeAFormula(text) ? u'\'' + text : text;
    if (!field.contains(separator) && !field.contains(u'"') && !field.contains(u'\n') && !field.contains(u'\r'))
        return field;
    QString quoted = field;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

CsvWriter::CsvWriter(QIODevice &device, const QStringList &header, QChar separator, bool byteOrderMark)
    : m_device(device)
    , m_separator(separator)
{
    m_ok = !byteOrderMark || m_device.write("\xEF\xBB\xBF") == 3;
    writeRow(header);
}

void CsvWriter::writeRow(const QStringList &fields)
{
    QStringList quoted;
    for (const QString &field : fields)
        quoted.append(csvField(field, m_separator));
    const QByteArray line = (quoted.join(m_separator) + QStringLiteral("\r\n")).toUtf8();
    m_ok = m_ok && m_device.write(line) == line.size();
}

namespace {

QStringList attemptsHeader(int ideas)
{
    QStringList header{QStringLiteral("élève"), QStringLiteral("essai")};
    for (int idea = 1; idea <= 4; ++idea)
        header.append(QStringLiteral("réponse %1").arg(idea));
    for (int idea = 1; idea <= 4; ++idea)
        header.append(QStringLiteral("juste %1").arg(idea));
    header << QStringLiteral("score") << QStringLiteral("remarque") << QStringLiteral("code")
           << QStringLiteral("exercice") << QStringLiteral("idées");
    for (int idea = 5; idea <= ideas; ++idea)
        header.append(QStringLiteral("réponse %1").arg(idea));
    for (int idea = 5; idea <= ideas; ++idea)
        header.append(QStringLiteral("juste %1").arg(idea));
    return header;
}

int mostIdeas(const KnownExercises &known)
{
    int most = 4;
    for (const Exercise &exercise : known.exercises())
        most = std::max(most, exercise.ideaCount());
    return most;
}

} // namespace

CsvExport::CsvExport(QIODevice &device, std::shared_ptr<const KnownExercises> known)
    : m_known(std::move(known))
    , m_ideas(mostIdeas(*m_known))
    , m_writer(device, attemptsHeader(m_ideas))
{
}

void CsvExport::addAttempt(const QString &pupil, int attempt, const ReadRecord &record)
{
    const int ideas = record.known() ? m_known->at(record.exercise).ideaCount() : 0;
    const auto answers = [&](int from, int to) {
        QStringList fields;
        for (int idea = from; idea < to; ++idea)
            fields.append(idea < ideas ? shownAnswer(record.answers.value(idea)) : QString());
        for (int idea = from; idea < to; ++idea)
            fields.append(idea < ideas ? (record.right[std::size_t(idea)] ? QStringLiteral("1") : QStringLiteral("0"))
                                       : QString());
        return fields;
    };
    QStringList remarks;
    if (record.anyUntyped())
        remarks.append(QString::fromUtf8(untypedNote));
    if (!record.known())
        remarks.append(QStringLiteral("exercice inconnu : ses réponses ne sont pas lues"));
    m_writer.writeRow(QStringList{pupil, QString::number(attempt)} + answers(0, 4)
                      + QStringList{QString::number(record.score()), remarks.join(QStringLiteral(" ; ")), record.code,
                                    record.label, record.known() ? QString::number(ideas) : QString()}
                      + answers(4, m_ideas));
}

int AttemptNumbers::next(const QString &pupil, const ReadRecord &record)
{
    const QChar apart(u'\x1f');
    return ++m_numbers[pupil + apart + record.code + apart + record.label + (record.known() ? u'+' : u'-')];
}

namespace {

QStringList tableHeader(const ClassReport &report)
{
    QStringList header = rowHeaders(report.rowKind(), report.outOf());
    // A score written "2/4" would be read as a date: a number, out of the ideas.
    const qsizetype score = header.indexOf(QStringLiteral("score"));
    const QString outOf = report.known() ? QStringLiteral(" sur %1").arg(report.outOf()) : QStringLiteral(" (justes)");
    header[score] += outOf;
    header[score + 1] += outOf;
    return header << QStringLiteral("remarque") << QStringLiteral("code") << QStringLiteral("exercice");
}

QStringList tableRow(const PupilSummary &row, const ClassReport &report)
{
    const bool any = row.attempts > 0;
    QStringList fields{row.name, QString::number(row.attempts)};
    for (int question = 0; question < report.outOf(); ++question)
        fields.append(any ? answerCell(row.last, std::size_t(question)) : QString());
    fields.append(any ? QString::number(row.last.score()) : QString());
    fields.append(any ? QString::number(row.best) : QString());
    fields.append(row.lastChanged.isValid() ? row.lastChanged.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                                            : QString());
    QStringList remarks;
    if (any && row.last.anyUntyped())
        remarks.append(QString::fromUtf8(untypedNote));
    if (row.ownerUnverified)
        remarks.append(QString::fromUtf8(ownerUnverifiedNote));
    if (row.lastChangedBound)
        remarks.append(QStringLiteral("dernier essai avant cette date"));
    if (!report.known())
        remarks.append(QStringLiteral("exercice inconnu"));
    return fields << remarks.join(QStringLiteral(" ; ")) << report.exercise().code << report.exercise().label;
}

} // namespace

bool writeClassTableCsv(QIODevice &device, const ClassReport &report, const QList<qsizetype> &order,
                        const std::function<bool(qint64, qint64)> &progress)
{
    CsvWriter csv(device, tableHeader(report));
    const qsizetype count = order.isEmpty() ? report.rowCount() : order.size();
    for (qsizetype i = 0; i < count && csv.ok(); ++i) {
        if (progress && i % 1024 == 0 && !progress(i, count))
            return false;
        csv.writeRow(tableRow(report.row(order.isEmpty() ? i : order.at(i)), report));
    }
    return csv.ok();
}
