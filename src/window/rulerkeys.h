#pragma once

#include <QObject>

class PageLabel;

// The reading ruler follows the keyboard without the pupil leaving the
// answer box: Up and Down, which type nothing and so never reach the key
// filter, move it a line up or down the passage. Watches each answer box it
// is installed on; does nothing while the passage shows no ruler.
class RulerKeys : public QObject
{
public:
    RulerKeys(PageLabel *passage, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PageLabel *m_passage;
};
