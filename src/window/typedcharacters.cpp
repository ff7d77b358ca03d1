#include "window/typedcharacters.h"

namespace {

constexpr char32_t lineFeed = 10;
constexpr char32_t carriageReturn = 13;
constexpr char32_t escape = 27;
constexpr char32_t deleteCode = 127;

// Ctrl with a letter or one of @ [ \ ] ^ _ types the control character of
// that key; AltGr (reported as Ctrl+Alt on Windows) does not.
bool controlCharacter(int key, Qt::KeyboardModifiers modifiers, char32_t *code)
{
    const bool control = modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
    if (!control)
        return false;
    if (key >= Qt::Key_At && key <= Qt::Key_Underscore) {
        *code = static_cast<char32_t>(key - Qt::Key_At);
        return true;
    }
    return false;
}

bool controlHeld(Qt::KeyboardModifiers modifiers)
{
    return modifiers.testFlag(Qt::ControlModifier) && !modifiers.testFlag(Qt::AltModifier);
}

} // namespace

QList<char32_t> characterCodes(const QString &text)
{
    QList<char32_t> codes;
    for (const char32_t code : text.toUcs4())
        codes.append(code);
    return codes;
}

QList<char32_t> typedCharacters(int key, Qt::KeyboardModifiers modifiers, const QString &text)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Ctrl+Enter types a line feed, which must not commit.
        return {controlHeld(modifiers) ? lineFeed : carriageReturn};
    case Qt::Key_Backspace:
        return {controlHeld(modifiers) ? deleteCode : char32_t(8)};
    case Qt::Key_Escape:
        return {escape};
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return {};
    default:
        break;
    }
    char32_t code = 0;
    if (controlCharacter(key, modifiers, &code))
        return {code};
    // Any other shortcut with Ctrl types nothing of its own (Ctrl+Left moves
    // the caret, Ctrl+1 does nothing), whatever text comes with it.
    if (controlHeld(modifiers))
        return {};
    return characterCodes(text);
}
