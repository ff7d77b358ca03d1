#include "teacher/faultlabel.h"

#include <QLabel>

QLabel *faultLabel()
{
    auto *label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0xA0, 0x10, 0x10));
    label->setPalette(palette);
    label->hide();
    return label;
}

void showFaults(QLabel *label, const QStringList &faults)
{
    QStringList sentences;
    for (const QString &fault : faults)
        sentences.append(fault.isEmpty() ? fault : fault.first(1).toUpper() + fault.sliced(1) + u'.');
    label->setText(sentences.join(u'\n'));
    label->setVisible(!faults.isEmpty());
}
