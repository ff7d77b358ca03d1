#pragma once

#include "reading/readingsettings.h"

#include <QFont>
#include <QString>

// The faces the pupil's page is drawn in. Each travels inside the program
// (Liberation Sans, Andika, OpenDyslexic) so that the page is laid out the
// same on every machine.

QString readingFontFamily(ReadingFont font);

// Makes `font`'s bold face available, from the copy inside the program;
// the design's face is installed at start-up already. Returns false when it
// could not be.
bool installReadingFont(ReadingFont font);

// `font`'s bold face, the design's weight, at `pixelSize`, with extra space
// after each letter and in each space between words, in hundredths of an em.
QFont pageFont(ReadingFont font, int pixelSize, int letterSpacingHundredths = 0, int wordSpacingHundredths = 0);
