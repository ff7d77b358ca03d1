#pragma once

#include <QColor>
#include <QList>

// How one pupil reads best, as a teacher sets it: the face, the size and
// spacing of the text, the passage's background and a reading ruler. Plain
// values, kept per pupil elsewhere; the page is laid out from them. The
// default is the design's page, untouched.
//
// Spacings are held in hundredths (of the line's height, of an em) so that
// settings compare and store exactly.

enum class ReadingFont {
    Design,       // the face the page was designed in
    Andika,       // made for children learning to read
    OpenDyslexic, // made for dyslexic readers
};

enum class PassageBackground {
    Design, // the design's cyan
    White,
    Cream,
};

struct ReadingSettings
{
    ReadingFont font = ReadingFont::Design;
    int textSizePercent = 100;     // 100 to 250, in steps of 25
    int lineSpacingPercent = 100;  // 100 to 200 (1 to 2 lines), in steps of 25
    int letterSpacingHundredths = 0; // of an em, 0 to 30, in steps of 5
    int wordSpacingHundredths = 0;   // of an em, 0 to 50, in steps of 10
    PassageBackground background = PassageBackground::Design;
    bool readingRuler = false;

    // True when nothing differs from the design's page.
    bool isDesign() const { return *this == ReadingSettings{}; }
    friend bool operator==(const ReadingSettings &, const ReadingSettings &) = default;
};

// Every value a teacher may choose, smallest first.
QList<int> textSizeChoices();
QList<int> lineSpacingChoices();
QList<int> letterSpacingChoices();
QList<int> wordSpacingChoices();

// `settings` with each value brought to the nearest choice, so that what a
// file holds can never make the page other than the choices allow.
ReadingSettings normalised(const ReadingSettings &settings);

// The passage's background colour; every one of them keeps black text at a
// contrast of at least 7:1.
QColor passageBackground(PassageBackground background);

// The reading ruler's band, under the line being read, and its edges.
QColor rulerBand();
QColor rulerEdge();

// The contrast ratio between two colours as WCAG measures it, from 1 (none)
// to 21 (black on white).
double contrastRatio(const QColor &a, const QColor &b);
