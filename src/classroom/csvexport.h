#pragma once

#include "classroom/classreport.h"
#include "record/recordreader.h"

#include <QHash>
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

// Rows written one by one under a header; with another separator, and
// without the byte-order mark, for a program that is no spreadsheet.
class CsvWriter
{
public:
    CsvWriter(QIODevice &device, const QStringList &header, QChar separator = u';', bool byteOrderMark = true);
    void writeRow(const QStringList &fields);
    // Whether everything so far was written.
    bool ok() const { return m_ok; }

private:
    QIODevice &m_device;
    QChar m_separator;
    bool m_ok = true;
};

// The class's attempts: one row per attempt in log order: the pupil, the
// attempt's number at its exercise, the first four answers as typed (cut to
// the record's zone), 1 or 0 for each, the score, a remark when an answer
// could not have been typed in the exercise or the exercise is not known;
// then, so that a spreadsheet made for the built-in exercise finds its
// columns where they were, the exercise's code, label and number of ideas,
// and the answers and marks of ideas 5 and on, as far as the known
// exercises go.
class CsvExport
{
public:
    explicit CsvExport(QIODevice &device,
                       std::shared_ptr<const KnownExercises> known = KnownExercises::builtInOnly());
    void addAttempt(const QString &pupil, int attempt, const ReadRecord &record);
    bool ok() const { return m_writer.ok(); }

private:
    std::shared_ptr<const KnownExercises> m_known;
    int m_ideas; // the answers' columns
    CsvWriter m_writer;
};

// A pupil's attempts at each exercise numbered from 1, going on from one
// log to the next (a collected copy, then the class folder).
class AttemptNumbers
{
public:
    int next(const QString &pupil, const ReadRecord &record);

private:
    QHash<QString, int> m_numbers;
};

// An exercise's table as the window shows it: one row per row of the
// window, in `order` (the report's rows; all in the report's order when
// empty), with its columns: the answers with their marks, the scores as
// numbers out of its ideas, the last attempt's date as a spreadsheet reads
// one (2026-12-09 14:05), a remark for an answer marked "*", an owner not
// verified or a date that is only a bound; then the exercise's code and label. `progress` is told the rows written; false stops. Whether
// every row was written.
bool writeClassTableCsv(QIODevice &device, const ClassReport &report, const QList<qsizetype> &order,
                        const std::function<bool(qint64, qint64)> &progress = {});

QString csvField(const QString &text, QChar separator = u';');
