#pragma once

#include "record/recordreader.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// A class's results at a glance: what each pupil did at the last attempt,
// which idea the class missed, the mean score. Built from records in log
// order, one log per pupil (classroom/logreader.h reads them); laid out as
// a French table for a terminal by classroom/texttable.h.

struct PupilSummary
{
    QString name;
    int attempts = 0;
    ReadRecord last; // meaningful once there is an attempt
    int best = 0;
};

struct QuestionSummary
{
    QString prompt;   // as the window shows it, without its "N°"
    QString expected; // the paragraph that is right
    int right = 0;    // pupils right at their last attempt
    int blank = 0;    // pupils who left it empty at their last attempt
    int pupils = 0;   // pupils with an attempt
    // The wrong answers given most often at the last attempt, several when
    // tied, in numeric order; and by how many pupils each.
    QStringList commonestWrong;
    int commonestCount = 0;
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
    QHash<QString, qsizetype> m_byName;
    qsizetype m_current = -1;
    qint64 m_ignoredLines = 0;
};
