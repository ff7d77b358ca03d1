#pragma once

#include <QFont>
#include <QStringList>

// Where the design font's faces come from when the system lacks Liberation
// Sans, and how the teacher's window asks for them so that a PDF keeps them
// apart.
//
// Windows' GDI gives every face of Liberation Sans the same name (the
// unique identifier GDI reports as the full name is one for all four), and
// Qt's PDF writer tells the faces it embeds apart by that name: the page
// would carry one face, the first drawn (the bold title), and set all its
// text in it. DirectWrite, which Qt uses for a font that asks for no
// hinting, names a face by its file, so on Windows the faces are registered
// from the files the package installs beside the program, and the teacher's
// window asks for no hinting. Elsewhere (FreeType) the copies inside the
// program serve and nothing changes.

// The faces to register, Regular then Bold, as QFontDatabase takes them.
QStringList designFontFaces();

// The font of the teacher's window and of its printed pages, from `font`.
QFont classWindowFont(QFont font);
