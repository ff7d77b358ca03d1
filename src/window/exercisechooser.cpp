#include "window/exercisechooser.h"

#include "window/designfont.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

// The design's banner colours: dark blue on light orange.
const QColor darkBlue(0x00, 0x00, 0xC0);
const QColor lightOrange(0xFF, 0xC0, 0x80);

// Titles on the answer boxes' peach; the one the keyboard is on stands out
// in the prompts' green inside a dark blue frame, so that a child sees what
// Enter will choose.
const char *const titleStyle =
    "QPushButton { background: #ffe0c0; color: black; border: 2px solid #c08040; border-radius: 8px;"
    " padding: 8px 16px; }"
    "QPushButton:hover { background: #ffd0a0; }"
    "QPushButton:focus { background: #c0ffc0; border: 5px solid #0000c0; }"
    "QPushButton:pressed { background: #a0e0a0; }";

// A title as a button shows it: "&" would otherwise mark a shortcut.
QString buttonText(const QString &title)
{
    QString text = title;
    return text.replace(u'&', QStringLiteral("&&"));
}

} // namespace

ExerciseChooser::ExerciseChooser(const QStringList &titles, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("chooser"));
    auto *heading = new QLabel(QStringLiteral("Choisis ton exercice"), this);
    heading->setObjectName(QStringLiteral("chooserHeading"));
    heading->setTextFormat(Qt::PlainText);
    heading->setAlignment(Qt::AlignCenter);
    heading->setFont(designFont(32));
    heading->setAutoFillBackground(true);
    QPalette headingColours = heading->palette();
    headingColours.setColor(QPalette::Window, lightOrange);
    headingColours.setColor(QPalette::WindowText, darkBlue);
    heading->setPalette(headingColours);
    heading->setContentsMargins(16, 12, 16, 12);

    auto *column = new QWidget;
    auto *buttons = new QVBoxLayout(column);
    buttons->setSpacing(16);
    for (qsizetype i = 0; i < titles.size(); ++i) {
        auto *button = new QPushButton(buttonText(titles[i]), column);
        button->setObjectName(QStringLiteral("exercise(%1)").arg(i));
        button->setFont(designFont(24));
        button->setMinimumHeight(64);
        button->setAutoDefault(true); // Enter chooses, as Space does
        button->setStyleSheet(QLatin1String(titleStyle));
        button->installEventFilter(this);
        connect(button, &QPushButton::clicked, this, [this, i] { emit chosen(int(i)); });
        buttons->addWidget(button);
        m_buttons.append(button);
    }
    buttons->addStretch();

    // However many titles, the page keeps its size: the column scrolls.
    auto *scroll = new QScrollArea(this);
    scroll->setWidget(column);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setFocusPolicy(Qt::NoFocus);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(48, 24, 48, 24);
    page->setSpacing(24);
    page->addWidget(heading);
    page->addWidget(scroll, 1);
    if (!m_buttons.isEmpty())
        setFocusProxy(m_buttons.first());
}

bool ExerciseChooser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const qsizetype at = m_buttons.indexOf(static_cast<QPushButton *>(watched));
    qsizetype next = at;
    if (key == Qt::Key_Down || key == Qt::Key_Right)
        next = qMin(at + 1, m_buttons.size() - 1);
    else if (key == Qt::Key_Up || key == Qt::Key_Left)
        next = qMax<qsizetype>(at - 1, 0);
    else
        return QWidget::eventFilter(watched, event);
    if (at >= 0 && next != at) {
        m_buttons[next]->setFocus(Qt::TabFocusReason);
        if (auto *scroll = findChild<QScrollArea *>())
            scroll->ensureWidgetVisible(m_buttons[next]);
    }
    return true;
}
