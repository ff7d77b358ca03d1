#include "teacher/passagebox.h"

#include "exercisefile/passagetext.h"

#include <QMimeData>

PassageBox::PassageBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("passage"));
    setAccessibleName(QStringLiteral("Texte"));
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
}

void PassageBox::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    // The whole passage when the box is empty, or all of it is selected.
    const bool whole = toPlainText().trimmed().isEmpty() || textCursor().selectedText().size() == toPlainText().size();
    if (!whole) {
        insertPlainText(source->text());
        return;
    }
    const PastedPassage pasted = pastedPassage(source->text());
    // One step the teacher can undo.
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(pasted.text);
    setTextCursor(cursor);
    emit passagePasted(int(passageParagraphs(pasted.text).size()), pasted.numbersRemoved);
}
