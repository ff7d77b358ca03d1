#pragma once

#include <QPlainTextEdit>

// The editor's passage: plain text, paragraphs apart by a blank line. A
// whole passage pasted into it is split into paragraphs there and then
// (exercisefile/passagetext.h), the numbers the teacher had typed in front
// of them taken off; pasted into a passage already begun, the text goes in
// as it came, only made plain.
class PassageBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit PassageBox(QWidget *parent = nullptr);

signals:
    // A whole passage was pasted: how many paragraphs it made, and how many
    // numbers were taken off.
    void passagePasted(int paragraphs, int numbersRemoved);

protected:
    void insertFromMimeData(const QMimeData *source) override;
};
