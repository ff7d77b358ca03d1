#pragma once

#include "classroom/classreport.h"

#include <QList>
#include <QString>

// The idea the class missed most, as one French sentence that the window,
// the printed page and --bilan all show. Ties are named, never settled:
// every idea missed by as many rows as the most missed one, and for each,
// every paragraph chosen instead as often as the commonest, with "laissée
// sans réponse" beside them when as many left it empty.

struct MissedIdea
{
    int idea = 0;            // counted from 0
    QList<int> confusedWith; // paragraphs (from 1) chosen most often instead, tied
    int confused = 0;        // rows that chose each of them
    int blank = 0;           // rows that left it empty, when as many as `confused` or more; else 0
};

struct MissedMost
{
    int wrong = 0; // rows that missed each of `ideas`
    int rows = 0;  // rows with an attempt
    QList<MissedIdea> ideas;
};

MissedMost missedMost(const QList<QuestionSummary> &questions);

// Empty without attempts and for an exercise not known; "Toutes les idées sont justes…" when none was missed.
QString missedMostSentence(const ClassReport &report);
