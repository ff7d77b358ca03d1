#pragma once

#include "record/recordreader.h"

#include <QString>

class QIODevice;

// A class's attempts for a spreadsheet: UTF-8 with a byte-order mark (so
// that a French spreadsheet reads the accents), fields separated by ";",
// lines ended by CR LF, a field quoted only when it holds ";", a quote or a
// line break, and one that would start a formula (=, +, -, @, a tab, a
// carriage return) preceded by an apostrophe. A header, then one row per
// attempt in log order: the pupil, the attempt's number, the four answers
// as typed (cut to the record's zone), 1 or 0 for each, the score, and a
// remark when an answer could not have been typed in the exercise.
class CsvExport
{
public:
    explicit CsvExport(QIODevice &device);
    void addAttempt(const QString &pupil, int attempt, const ReadRecord &record);
    // Whether everything so far was written.
    bool ok() const { return m_ok; }

private:
    void writeRow(const QStringList &fields);

    QIODevice &m_device;
    bool m_ok = true;
};

QString csvField(const QString &text);
