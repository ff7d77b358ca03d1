#include "classroom/csvexport.h"

#include <QIODevice>
#include <QStringList>

QString csvField(const QString &text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
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
              QStringLiteral("juste 4"), QStringLiteral("score")});
}

void CsvExport::addAttempt(const QString &pupil, int attempt, const ReadRecord &record)
{
    QStringList fields{pupil, QString::number(attempt)};
    for (const QString &answer : record.answers)
        fields.append(answer);
    for (const bool right : record.right)
        fields.append(right ? QStringLiteral("1") : QStringLiteral("0"));
    fields.append(QString::number(record.score()));
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
