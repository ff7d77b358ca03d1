#include "record/windows1252.h"

#include <QList>

#include <array>

namespace {

// The characters of bytes 0x80 to 0x9F; 0 marks the five bytes the code page
// leaves undefined. The other bytes stand for the character of the same code.
constexpr std::array<char16_t, 32> highControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

std::optional<char> windows1252Byte(char32_t character)
{
    if (character < 0x80 || (character >= 0xA0 && character <= 0xFF))
        return static_cast<char>(character);
    for (std::size_t i = 0; i < highControls.size(); ++i) {
        if (highControls[i] != 0 && highControls[i] == character)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

QString fromWindows1252(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto code = static_cast<unsigned char>(byte);
        if (code >= 0x80 && code < 0xA0)
            text.append(QChar(highControls[code - 0x80] != 0 ? highControls[code - 0x80] : char16_t(0xFFFD)));
        else
            text.append(QChar(static_cast<char16_t>(code)));
    }
    return text;
}

char32_t representable(char32_t character)
{
    return windows1252Byte(character) ? character : U'?';
}

QByteArray toWindows1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const char32_t character : text.toUcs4())
        bytes.append(*windows1252Byte(representable(character)));
    return bytes;
}
