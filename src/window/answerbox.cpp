#include "window/answerbox.h"

#include "window/typedcharacters.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

AnswerBox::AnswerBox(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    const QList<char32_t> codes = typedCharacters(event->key(), event->modifiers(), event->text());
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
