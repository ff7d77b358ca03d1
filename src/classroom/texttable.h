#pragma once

#include "classroom/classreport.h"
#include "classroom/classresults.h"

#include <QString>

#include <functional>

// A class's results as French tables for a terminal of 80 columns, one
// section an exercise, the one with the latest attempt first, then the
// lines that were no result. In a section: the rows (pupils in French
// alphabetical order, or a file's attempts in its order), each with the
// answers and score of the last attempt and the best score; then each
// idea with how many were right and how the answers spread over the
// paragraphs; the idea missed most; the mean score. An exercise not known
// has its scores alone.
QString formatClassResults(const ClassResults &results);
// One exercise's section, its title first.
QString formatClassReport(const ClassReport &report);

// The same, handed to `out` piece by piece: a big shared log's attempts a
// line at a time, never as one text.
using TextOut = std::function<void(const QString &)>;
void printClassResults(const ClassResults &results, const TextOut &out);
void printClassReport(const ClassReport &report, const TextOut &out);

// "Aucune ligne ignorée." or "3 lignes ignorées.", and its line end.
QString ignoredLinesText(qint64 lines);

// `text` cut into lines of at most `width` characters, at spaces.
QString wrapped(const QString &text, qsizetype width = 80);
