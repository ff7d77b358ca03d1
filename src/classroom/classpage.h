#pragma once

#include "classroom/classnotices.h"
#include "classroom/classreport.h"

#include <QDateTime>
#include <QList>
#include <QString>

// A class's results as a printed page (HTML for a QTextDocument), the same
// as the window shows them: what was read and when, the legend of the
// marks, the notices, the rows in the order on screen with every column
// (the header repeated on each page), then each idea with its spread and
// the idea missed most. Everything a file or a pupil named is escaped.

struct ClassPage
{
    QString opened;          // what was read, as the window says it
    QDateTime readAt;
    QList<qsizetype> order;  // the report's rows in the order on screen; empty: the report's order
    QString orderText;       // how they are sorted: "trié par score, du plus faible au plus fort"
    QList<ClassNotice> notices;
};

QString classPageHtml(const ClassReport &report, const ClassPage &page);

// The names a printed group shows before it counts the rest.
inline constexpr qsizetype printedNoticeItems = 5;
