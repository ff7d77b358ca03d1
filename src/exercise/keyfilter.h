#pragma once

#include <QString>

// What an answer box does with one typed character. Only the paragraph
// numbers (1 to 4 in the built-in exercise, 1 to N for N paragraphs),
// Backspace and Enter get through; Enter commits the row.
enum class KeyAction {
    Accept,       // the box takes the character as usual
    Discard,      // the box ignores it, silently
    Commit,       // Enter: the box's text becomes the row's answer
    ShowExpected, // the row is already committed: show its expected answer
};

constexpr char32_t backspaceCode = 8;
constexpr char32_t carriageReturnCode = 13;

// Decides on the character's code alone (never truncated to 8 bits, so no
// character outside Latin-1 can pass for a digit). `paragraphCount` is 2 to 9.
KeyAction filterKey(bool rowLocked, char32_t code, int paragraphCount = 4);

// The answer a commit stores: the box's text without the spaces at either
// end. Other characters, and spaces inside, stay.
QString committedAnswer(const QString &boxText);
