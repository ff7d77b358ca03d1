#pragma once

#include "classroom/classreport.h"
#include "record/recordreader.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// A class's results for a spreadsheet: UTF-8 with a byte-order mark (so
// that a French spreadsheet reads the accents), fields separated by ";",
// lines ended by CR LF, a field quoted only when it holds ";", a quote or a
// line break, and one that would start a formula (=, +, -, @, a tab, a
// carriage return) preceded by an apostrophe.

// Rows written one by one under a header.
class CsvWriter
{
public:
    CsvWriter(QIODevice &device, const QStringList &header);
    void writeRow(const QStringList &fields);
    // Whether everything so far was written.
    bool ok() const { return m_ok; }

private:
    QIODevice &m_device;
    bool m_ok = true;
};

// The class's attempts: one row per attempt in log order: the pupil, the
// attempt's number, the four answers as typed (cut to the record's zone),
// 1 or 0 for each, the score, and a remark when an answer could not have
// been typed in the exercise.
class CsvExport
{
public:
    explicit CsvExport(QIODevice &device);
    void addAttempt(const QString &pupil, int attempt, const ReadRecord &record);
    bool ok() const { return m_writer.ok(); }

private:
    CsvWriter m_writer;
};

// The class's table as the window shows it: one row per row of the window,
// in `order` (the report's rows; all in the report's order when empty),
// with its columns: the answers with their marks, the scores as numbers
// out of 4, the last attempt's date as a spreadsheet reads one
// (2026-12-09 14:05), and a remark for an answer marked "*" or an owner
// not verified. `progress` is told the rows written; false stops. Whether
// every row was written.
bool writeClassTableCsv(QIODevice &device, const ClassReport &report, const QList<qsizetype> &order,
                        const std::function<bool(qint64, qint64)> &progress = {});

QString csvField(const QString &text);
