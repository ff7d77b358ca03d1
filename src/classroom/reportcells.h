#pragma once

#include "classroom/classreport.h"

#include <QString>
#include <QStringList>

// The cells and headers every table of a class shows alike: the window,
// the printed page and the spreadsheet's table (--bilan, narrower, marks
// a row's unverified owner with "°").

// The rows' headers: "élève" first, or "essai" for a file's attempts, then
// each of the `ideas` ideas.
QStringList rowHeaders(ReportRows rows, int ideas = 4);
// The ideas' headers: the idea, its prompt, paragraph, rights, then each
// of answerChoices(paragraphCount); on paper and in a terminal, an
// exercise of more paragraphs than the built-in one's has them short: "p1",
// "vide", which shortHeadersNote() explains.
QStringList ideaHeaders(int paragraphCount = 4);
bool shortIdeaHeaders(int paragraphCount);
QStringList printedIdeaHeaders(int paragraphCount);
QString shortHeadersNote();

// How a table names the exercise: "303 – Le voyage des cigognes (6 idées)",
// "404 – Un titre (exercice inconnu)".
QString exerciseTitle(const ClassReport &report);
// What a table of an exercise not known says of it.
QString unknownExerciseNote();

// The row's name, "(propriétaire non vérifié)" after it when so.
QString nameCell(const PupilSummary &row);

// An idea's cell: "3 ✓", "1 ✗", "–" for none, and "*" after an answer no
// answer box lets in (cut to the record's zone).
QString answerCell(const ReadRecord &record, std::size_t question);

// "3/4"; "3" when what it is out of is not known (0).
QString scoreCell(int score, int outOf = 4);

// When the row last tried the exercise, "09/12/2026 14:05", "avant le
// 09/12/2026 14:05" when only that is known; "–" when unknown.
QString lastChangedCell(const PupilSummary &row);

// A count of the ideas' table: "2", and "2 ✓" for the right paragraph's.
QString spreadCell(const QuestionSummary &question, AnswerChoice choice);

// Whether some row's last attempt holds an answer marked "*".
bool anyUntypedShown(const ClassReport &report);
