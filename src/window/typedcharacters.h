#pragma once

#include <QList>
#include <QString>
#include <Qt>

// The characters a key press types, as character codes, decided on what the
// key is and not only on the text the platform reports with it: on X11 the
// Delete key reports "\x7f" yet types nothing, and a test tool may report
// Ctrl+V as "v" although it types the control character 22.
//
// Empty for keys that type nothing and only move, edit or navigate (arrows,
// Home, End, Delete, Tab, Ctrl+Left): those keep their usual effect.
QList<char32_t> typedCharacters(int key, Qt::KeyboardModifiers modifiers, const QString &text);

// The characters of a text as codes, a surrogate pair counting as one.
QList<char32_t> characterCodes(const QString &text);
