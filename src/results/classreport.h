#pragma once

#include "results/recordreader.h"

#include <QCollator>
#include <QList>
#include <QString>
#include <QStringList>

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
    qsizetype m_current = -1;
    qint64 m_ignoredLines = 0;
};

// French alphabetical order, numbers by their value: céline before chloé,
// élise among the e, 2 before 10.
QCollator frenchOrder();

// The table, in French, its columns aligned for a terminal, the pupils in
// French alphabetical order.
QString formatClassReport(const ClassReport &report);
