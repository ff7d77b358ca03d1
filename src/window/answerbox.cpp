#include "window/answerbox.h"

#include "window/typedcharacters.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace {

bool isEnter(const QKeyEvent *event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Whether the Enter key that an answer box last acted on is still held
// down. Only its repeats are ignored: an Enter that the platform merely
// reports as a repeat, with no press before it that a box acted on, is a
// press of its own. Wine reports the first Enter after a message box closed
// by Enter that way (the box took the press, its release went astray).
bool enterHeld = false;

// The release may reach any window (a box the press opened): it is watched
// for the whole application.
class EnterReleaseWatch : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (isEnter(key) && !key->isAutoRepeat())
                enterHeld = false;
        }
        return QObject::eventFilter(watched, event);
    }
};

void watchEnterReleases()
{
    static QObject *watch = nullptr;
    if (watch || !QCoreApplication::instance())
        return;
    watch = new EnterReleaseWatch(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(watch);
}

} // namespace

AnswerBox::AnswerBox(int index, QWidget *parent)
    : QLineEdit(parent)
    , m_index(index)
{
    setContextMenuPolicy(Qt::NoContextMenu);
    setAcceptDrops(false);
    watchEnterReleases();
}

void AnswerBox::keyPressEvent(QKeyEvent *event)
{
    if (isEnter(event) && event->isAutoRepeat() && enterHeld) {
        event->accept();
        return;
    }
    if (isEnter(event))
        enterHeld = true;
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
