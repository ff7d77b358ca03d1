#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// An exercise as plain data: what the pupil's page shows, what the record
// writes and what the judge expects. The built-in exercise is one; those a
// teacher writes are others. Everything the pupil sees and the record holds
// comes from here, never from a widget.

// The rows' arrays hold rows 0 to 10; an answer is one digit.
inline constexpr int maxIdeas = 11;
inline constexpr int minParagraphs = 2;
inline constexpr int maxParagraphs = 9;

struct Idea
{
    // As the record writes it, exactly: the built-in one's prompts keep the
    // runs of spaces and the "N°" that line the marks up in its window.
    QString prompt;
    int paragraph = 0; // 1-based: the expected answer

    bool operator==(const Idea &) const = default;
};

struct Exercise
{
    QString code;  // three digits; "202" for the built-in one
    QString label; // the title, as the record names the exercise
    QString readingInstruction;  // the banner above the passage
    QString questionInstruction; // the line between the passage and the rows
    // The paragraphs as the page shows them, their numbers included.
    QStringList paragraphs;
    QList<Idea> ideas;
    bool builtIn = false;

    // The paragraphs joined by a blank line, as the passage's box shows them.
    QString passage() const;
    // The expected answer of row `row`, as the judge compares it.
    QString expectedAnswer(int row) const;
    // The prompt of row `row` without the "N°" mark and the spaces before
    // it: what the idea says.
    QString ideaText(int row) const;
    int ideaCount() const { return static_cast<int>(ideas.size()); }
    int paragraphCount() const { return static_cast<int>(paragraphs.size()); }

    bool operator==(const Exercise &) const = default;
};

// The exercise this program carries, as designed.
const Exercise &builtInExercise();

// The instructions of an exercise that gives none of its own: the built-in
// one's, the range of numbers made that of its `paragraphCount` paragraphs.
QString defaultReadingInstruction();
QString defaultQuestionInstruction(int paragraphCount);
