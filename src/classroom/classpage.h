#pragma once

#include "classroom/classreport.h"

#include <QDateTime>
#include <QString>

// A class's results as a printed page (HTML for a QTextDocument): what was
// read and when, the legend of the marks, the rows with every column (the
// header repeated on each page), then each idea with its spread.
QString classPageHtml(const ClassReport &report, const QString &opened, const QDateTime &readAt);
