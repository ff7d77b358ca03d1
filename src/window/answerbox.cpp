#include "window/answerbox.h"

#include "window/typedcharacters.h"

#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

AnswerBox::AnswerBox(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->isAutoRepeat()) {
        event->accept();
        return;
    }
    const QList<char32_t> codes = typedCharacters(event->key(), event->modifiers(), event->text());
    if (codes.isEmpty() && event->matches(QKeySequence::Paste)) {
        event->accept(); // Shift+Insert: pasting types no key
        return;
    }
    if (codes.isEmpty()) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    for (const char32_t code : codes)
        type(code);
}

void AnswerBox::inputMethodEvent(QInputMethodEvent *event)
{
    if (event->commitString().isEmpty()) {
        QLineEdit::inputMethodEvent(event); // a pre-edit only: it types nothing yet
        return;
    }
    // Let the box finish the composition without taking the committed text,
    // then type that text through the filter like keys.
    QInputMethodEvent composition(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&composition);
    for (const char32_t code : characterCodes(event->commitString()))
        type(code);
}

void AnswerBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::MiddleButton) {
        event->accept(); // where the primary selection would be pasted
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void AnswerBox::dragEnterEvent(QDragEnterEvent *event)
{
    event->ignore();
}

void AnswerBox::dropEvent(QDropEvent *event)
{
    event->ignore();
}

void AnswerBox::type(char32_t code)
{
    int keyAscii = static_cast<int>(code);
    if (m_keyFilter)
        m_keyFilter(m_index, keyAscii);
    if (keyAscii == 0)
        return;
    if (keyAscii == 8) {
        backspace();
        return;
    }
    const auto character = static_cast<char32_t>(keyAscii);
    insert(QString::fromUcs4(&character, 1));
}
