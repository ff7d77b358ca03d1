#pragma once

#include <QLineEdit>

#include <functional>

// An answer box of the exercise. Every character typed into it goes through
// the key filter first, one character at a time, whether it comes from a key
// press or from an input method (dead keys, compose); the filter may discard
// it by setting its code to 0. Keys that type no character (arrows, Delete,
// Home, End) keep their usual effect.
//
// Text that arrives whole is refused, as Ctrl+V is by the filter: Shift+Insert,
// a middle-click (the primary selection) and a drop put nothing in, and the
// box has no context menu, whose Paste would. An Enter repeated by the
// keyboard while the key is held down is ignored, so that one long press
// commits one row, not every row left; an Enter reported as a repeat of a
// press no box saw is a press like any other.
class AnswerBox : public QLineEdit
{
    Q_OBJECT

public:
    // Called with the box's index and the character's code, which it may set
    // to 0 to discard the character.
    using KeyFilter = std::function<void(int index, int &keyAscii)>;

    AnswerBox(int index, QWidget *parent);

    void setKeyFilter(KeyFilter filter) { m_keyFilter = std::move(filter); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void type(char32_t code);

    int m_index;
    KeyFilter m_keyFilter;
};
