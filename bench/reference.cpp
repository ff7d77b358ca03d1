// The floor for launch benchmarks: a Qt Widgets window with the same kinds
// and number of controls as the exercise (8 labels, one of them for a
// picture, 4 text boxes, a check box and a button, those last two and the
// picture hidden) showing the same captions, in Qt's own fonts and colours,
// shown maximised, doing nothing else.

#include "exercise/content.h"
#include "exitwhenready.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Reference"));

    auto *button = new QPushButton(QStringLiteral("Button"), &window);
    button->setGeometry(576, 320, 97, 33);
    button->hide();
    auto *passage = new QLabel(Content::passage(), &window);
    passage->setWordWrap(true);
    passage->setGeometry(16, 56, 761, 225);
    auto *picture = new QLabel(&window);
    picture->setGeometry(680, 256, 113, 97);
    picture->hide();
    auto *check = new QCheckBox(QStringLiteral("Check"), &window);
    check->setGeometry(520, 360, 265, 25);
    check->hide();
    auto *instruction = new QLabel(Content::questionInstruction(), &window);
    instruction->setWordWrap(true);
    instruction->setGeometry(16, 288, 417, 57);
    auto *banner = new QLabel(Content::readingInstruction(), &window);
    banner->setGeometry(176, 8, 473, 33);
    for (int row = 0; row < 4; ++row) {
        auto *prompt = new QLabel(Content::prompt(row), &window);
        prompt->setGeometry(40, 352 + 32 * row, 241, 25);
        auto *box = new QLineEdit(&window);
        box->setGeometry(280, 352 + 32 * row, 33, 25);
    }

    const ExitWhenReady probe(&window);
    window.showMaximized();
    return QApplication::exec();
}
