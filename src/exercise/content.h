#pragma once

#include <QString>

// The one exercise this program carries: a passage of four numbered
// paragraphs and four ideas to place in them. Everything is fixed here;
// there is nothing to configure or read.
namespace Content {

constexpr int questionCount = 4;
constexpr int lastQuestionIndex = questionCount - 1;

QString readingInstruction();  // the banner above the passage
QString questionInstruction(); // the line between the passage and the rows
QString passage();             // the four paragraphs, a blank line between each pair

// Row r's prompt and the paragraph number it expects, for r in 0..3. The
// runs of spaces line the "N°" marks up in the window's proportional font.
QString prompt(int row);
QString expectedAnswer(int row);

// How the results log names this exercise.
QString exerciseCode();
QString exerciseLabel();

} // namespace Content
