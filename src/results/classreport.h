#pragma once

#include "results/recordreader.h"

#include <QList>
#include <QString>

// A class's results at a glance: what each pupil did at the last attempt,
// which idea the class missed, the mean score. Built from records in log
// order, one log per pupil (results/logreader.h reads them); laid out as a
// French table for a terminal.

struct PupilSummary
{
    QString name;
    int attempts = 0;
    ReadRecord last; // meaningful once there is an attempt
    int best = 0;
};

struct QuestionSummary
{
    QString prompt;     // as the window shows it, without its "N°"
    int right = 0;      // pupils right at their last attempt
    int pupils = 0;     // pupils with an attempt
    QString commonestWrong; // the wrong answer given most often at the last attempt; empty when none
};

class ClassReport
{
public:
    // The records that follow are this pupil's; a name met again (the same
    // file name in two folders) goes on with the same pupil.
    void beginPupil(const QString &name);
    void addAttempt(const ReadRecord &record);
    void addIgnoredLines(qint64 lines) { m_ignoredLines += lines; }

    const QList<PupilSummary> &pupils() const { return m_pupils; }
    QList<QuestionSummary> questions() const;
    int attempts() const;
    // The mean of the pupils' last scores, out of 4; 0 without attempts.
    double meanScore() const;
    qint64 ignoredLines() const { return m_ignoredLines; }

private:
    QList<PupilSummary> m_pupils;
    qsizetype m_current = -1;
    qint64 m_ignoredLines = 0;
};

// The table, in French, its columns aligned for a terminal.
QString formatClassReport(const ClassReport &report);
