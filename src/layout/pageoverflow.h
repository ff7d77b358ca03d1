#pragma once

#include "layout/pagelayout.h"

#include <QSize>

// Whether a teacher's exercise fits a small classroom screen at the text
// size it was designed for. A page that does not is drawn smaller (the
// layout scales it down to fit), which a child may find hard to read: the
// editor warns, saying how many of the passage's lines to cut.

// What a maximised window leaves of a 1366 × 768 screen, the smallest in
// common use in classrooms: a 40-pixel taskbar and a 23-pixel title bar
// taken off, as on Windows at 100 %.
inline constexpr QSize smallScreenRoom{1366, 768 - 40 - 23};

struct PageOverflow
{
    bool fits = true;
    // The passage's lines, as wide as the room lets them, to cut for the
    // page to fit at the design's text size; 0 when it fits.
    int linesToCut = 0;
    // False when cutting the passage cannot be enough: the ideas and
    // instructions alone are too tall.
    bool passageCanFit = true;
};

// The exercise's page at the design's size (the page setting `design`, no
// reading adaptation) in `room`.
PageOverflow pageOverflow(const Exercise &exercise, const ControlChrome &chrome, const QSize &room = smallScreenRoom);
