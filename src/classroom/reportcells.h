#pragma once

#include "classroom/classreport.h"

#include <QString>
#include <QStringList>

// The cells and headers every table of a class shows alike: the window,
// the printed page and the spreadsheet's table (--bilan, narrower, marks
// a row's unverified owner with "°").

// The rows' headers: "élève" first, or "essai" for a file's attempts.
QStringList rowHeaders(ReportRows rows);
// The ideas' headers: the idea, its prompt, paragraph, rights, then each choice.
QStringList ideaHeaders();

// The row's name, "(propriétaire non vérifié)" after it when so.
QString nameCell(const PupilSummary &row);

// An idea's cell: "3 ✓", "1 ✗", "–" for none, and "*" after an answer no
// answer box lets in (cut to the record's zone).
QString answerCell(const ReadRecord &record, std::size_t question);

// "3/4".
QString scoreCell(int score);

// When the row's log last changed, "09/12/2026 14:05"; "–" when unknown.
QString lastChangedCell(const PupilSummary &row);

// A count of the ideas' table: "2", and "2 ✓" for the right paragraph's.
QString spreadCell(const QuestionSummary &question, AnswerChoice choice);

// Whether some row's last attempt holds an answer marked "*".
bool anyUntypedShown(const ClassReport &report);
