#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Windows-1252, the code page the results log has always been written in.
// Qt's own encoder is not used: where ICU backs it, it writes the control
// byte 0x1A for a character the code page cannot hold.

// The byte for a character, or nothing when the code page has none.
std::optional<char> windows1252Byte(char32_t character);

// The character the code page writes for `character`: itself, or "?" when
// the code page cannot hold it.
char32_t representable(char32_t character);

// Decodes bytes of the code page; the five bytes it leaves undefined read as
// U+FFFD.
QString fromWindows1252(QByteArrayView bytes);

// Encodes text, writing "?" for each character the code page cannot hold.
QByteArray toWindows1252(QStringView text);
