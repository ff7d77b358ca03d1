#pragma once

#include <QFont>
#include <QString>

// The window's layout is measured in Liberation Sans, the nearest free face
// to the "MS Sans Serif" it was drawn with. The face (Regular and Bold) is
// built into the program and made the application's font at start-up
// (app/applicationsetup.h), so that every caption fits its control on every
// machine, whatever fonts it has: a wider fallback face would push the last
// paragraph out of sight.

QString designFontFamily();

// The design's bold face at `pixelSize` pixels at 96 dpi (9.75 pt is 13 px,
// 12 pt is 16 px), so that text scales with the layout.
QFont designFont(int pixelSize);
