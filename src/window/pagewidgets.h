#pragma once

#include "layout/pagelayout.h"
#include "reading/readingsettings.h"

#include <QColor>
#include <QIcon>
#include <QList>
#include <QPalette>
#include <QRect>
#include <QString>

class AnswerBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The controls of the pupil's page: how each is made as designed, and how a
// laid-out page (layout/pagelayout.h) is put on them. The window owns them;
// this only places them, sets their fonts and draws what reading settings
// ask for.

// Design colours are written &H00BBGGRR&: red in the low byte.
QColor designColour(quint32 bgr);

namespace DesignColours {
inline const QColor white = designColour(0x00FFFFFF);
inline const QColor peach = designColour(0x00C0E0FF);
inline const QColor lightOrange = designColour(0x0080C0FF);
inline const QColor darkBlue = designColour(0x00C00000);
inline const QColor lightGreen = designColour(0x00C0FFC0);
inline const QColor cyan = designColour(0x00FFFF00);
} // namespace DesignColours

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour);

// A label as the exercise's labels are: opaque, fixed in size, its caption
// plain text from the top edge, wrapped at word boundaries and cut off at the
// bottom edge. Drawn as designed until a page says otherwise.
QLabel *makeLabel(QWidget *parent, const QString &name, QRect twips, const QFont &font,
                  const QColor &background, Qt::Alignment alignment = Qt::AlignLeft);

// Picture1, the check-box mode's feedback picture: a sunken white box.
QLabel *makePicture(QWidget *parent);

// An answer box's colours: peach, and a locked answer still readable.
void colourAnswerBox(QWidget *box);

// What the style adds around an answer box's text, from the box as
// designed, before any page changes its font.
ControlChrome controlChrome(const QLineEdit *box);

QIcon programIcon();

// `Text1(3)`: how the controls of an array are named.
QString elementName(const char *arrayName, int index);

struct PageControls
{
    QLabel *banner = nullptr;      // Label3(1)
    QLabel *passage = nullptr;     // Label1
    QLabel *instruction = nullptr; // Label3(0)
    QList<QLabel *> prompts;       // Label2
    QList<AnswerBox *> boxes;      // Text1
    QPushButton *verifyButton = nullptr; // Command1
    QCheckBox *checkBox = nullptr;       // Check1(0)
    QLabel *picture = nullptr;           // Picture1
};

// Places every control where `layout` says, in its fonts; the passage in the
// background and with the ruler `reading` asks for.
void applyPageLayout(const PageLayout &layout, const ReadingSettings &reading, const PageControls &controls);
