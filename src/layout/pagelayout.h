#pragma once

#include "exercise/exercise.h"
#include "layout/pagesetting.h"
#include "reading/readingsettings.h"

#include <QFont>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

// Where every control of the pupil's page stands and which font it draws
// with, decided from an exercise, a pupil's reading settings, the page
// setting and the room the window gives: a plain function, no widget.
//
// The built-in exercise, without reading settings, at the design's size is
// the design's page to the pixel. Scaled (`fit`, a percentage) it is the
// same page with every position, size and font multiplied by one factor.
// Every other page is laid out from its content: each text in the face, size
// and spacing the pupil reads best, each box as tall as its text, the rows
// below moving down, each idea's "N°" and answer box after the widest idea.
// Whatever the setting, a page is scaled down until it fits the room: no
// text is ever cut off or hidden behind another control.

// What the controls themselves bring, from the toolkit's style.
struct ControlChrome
{
    QFont standardFont; // of the answer boxes, buttons and message boxes
    // What an answer box adds around its text, both sides together.
    int boxChromeWidth = 8;
    int boxChromeHeight = 8;
};

// One text of the page.
struct PageText
{
    QRect rect; // in the window
    QFont font;
    QString text; // as it is drawn and measured
    int textWidth = 0; // the width it wraps in, from the rect's left edge
    Qt::Alignment alignment = Qt::AlignLeft;
    // Where the "N°" mark stands, from the rect's left edge.
    std::optional<int> markLeft;

    friend bool operator==(const PageText &, const PageText &) = default;
};

struct PageRow
{
    PageText prompt; // Label2(r), its mark included
    QRect answerBox; // Text1(r)

    friend bool operator==(const PageRow &, const PageRow &) = default;
};

struct PageLayout
{
    enum class Kind {
        Design,       // the design's page, drawn as designed
        ScaledDesign, // the design's page multiplied by `scale`
        FromContent,  // laid out from the content and reading settings
    };
    Kind kind = Kind::Design;
    double scale = 1; // page pixels to window pixels
    QRect page;       // the page's extent in the window
    double lineSpacing = 1; // of every text, in lines
    PageText banner;      // Label3(1)
    PageText passage;     // Label1
    PageText instruction; // Label3(0)
    QList<PageRow> rows;
    QFont answerFont;
    // The hidden controls of the check-box mode, and their font.
    QRect verifyButton;
    QRect checkBox;
    QRect picture;
    QFont controlFont;
    // The modal boxes' text, and the width of the answer boxes' caret.
    QFont messageFont;
    int caretWidth = 1;

    friend bool operator==(const PageLayout &, const PageLayout &) = default;
};

// `room` is the window's client area in device-independent pixels: the
// toolkit multiplies them by the screen's own scale factor, text included,
// so that a page laid out here is the same page on a 200 % desktop.
PageLayout layOutPage(const Exercise &exercise, const ReadingSettings &reading, const PageSetting &setting,
                      const QSize &room, const ControlChrome &chrome);

// What a prompt shows beside its "N°" mark: the caption without the mark and
// the spaces that lined it up.
QString promptWithoutMark(const QString &caption);

// The largest factor at which the design's page fits in `room`.
double fitScale(const QSize &room);
