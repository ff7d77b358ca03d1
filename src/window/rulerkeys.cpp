#include "window/rulerkeys.h"

#include "window/pagelabel.h"

#include <QKeyEvent>

RulerKeys::RulerKeys(PageLabel *passage, QObject *parent)
    : QObject(parent)
    , m_passage(passage)
{
}

bool RulerKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_passage->rulerLine())
        return QObject::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & ~Qt::KeypadModifier)
        return QObject::eventFilter(watched, event);
    if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
        m_passage->moveRuler(key->key() == Qt::Key_Up ? -1 : 1);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
