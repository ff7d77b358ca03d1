#pragma once

#include "classroom/classreport.h"

#include <QString>

// A class's results as a French table for a terminal of 80 columns: the
// rows (pupils in French alphabetical order, or a file's attempts in its
// order), each with the answers and score of the last attempt and the best
// score; then each idea with how many were right and how the answers
// spread over the paragraphs; the idea missed most; the mean score.
QString formatClassReport(const ClassReport &report);

// The same in pieces, for a file's attempts printed as they are read: the
// rows' header, one attempt's row, then all that follows the rows.
QString attemptsHeader();
QString attemptLine(qsizetype number, const ReadRecord &record);
QString formatIdeas(const ClassReport &report);

// `text` cut into lines of at most `width` characters, at spaces.
QString wrapped(const QString &text, qsizetype width = 80);
