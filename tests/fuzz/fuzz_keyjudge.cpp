// Any key code and any two texts through the key filter and the judge:
// nothing may crash, folding and upper-casing never change a length, only
// the six characters get through, and the accent reminder is only ever due
// for an answer judged right.
//
// Input: 4 bytes key code, 4 bytes key modifiers, then UTF-16 code units
// (lone surrogates included) of the typed text, a 0 unit, the expected text.

#include "exercise/judge.h"
#include "exercise/keyfilter.h"
#include "window/typedcharacters.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkKey(char32_t code, bool locked)
{
    const KeyAction action = filterKey(locked, code);
    if (locked) {
        require(action == KeyAction::ShowExpected);
        return;
    }
    const bool allowed = code == 8 || (code >= U'1' && code <= U'4');
    require((action == KeyAction::Accept) == allowed);
    require((action == KeyAction::Commit) == (code == 13));
}

void checkJudge(const QString &typed, const QString &expected)
{
    int folded = -1;
    require(foldAccents(typed, &folded).size() == typed.size());
    require(folded >= 0 && folded <= typed.size());
    require(upperCased(typed).size() == typed.size());
    require(upperCased(expected).size() == expected.size());

    const Judgement judgement = judgeAnswer(typed, expected);
    if (judgement.accentReminder)
        require(judgement.verdict == Verdict::Right);
    if (judgement.verdict == Verdict::Wrong)
        require(!typed.isEmpty() && QStringLiteral("1234").contains(typed));
    if (typed == expected)
        require(judgement.verdict == Verdict::Right && !judgement.accentReminder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 8)
        return 0;
    std::uint32_t key = 0;
    std::uint32_t modifiers = 0;
    std::memcpy(&key, data, 4);
    std::memcpy(&modifiers, data + 4, 4);
    data += 8;
    size -= 8;

    QList<char16_t> units(static_cast<qsizetype>(size / 2));
    if (!units.isEmpty())
        std::memcpy(units.data(), data, units.size() * sizeof(char16_t));
    const qsizetype split = units.indexOf(u'\0');
    const QString typed = QString(reinterpret_cast<const QChar *>(units.constData()),
                                  split < 0 ? units.size() : split);
    const QString expected = split < 0 ? QString()
                                       : QString(reinterpret_cast<const QChar *>(units.constData() + split + 1),
                                                 units.size() - split - 1);

    checkKey(key, modifiers & 1);
    for (const char32_t code : typedCharacters(static_cast<int>(key),
                                               Qt::KeyboardModifiers::fromInt(static_cast<int>(modifiers)),
                                               typed))
        checkKey(code, false);
    checkJudge(typed, expected);
    checkJudge(expected, typed);
    return 0;
}
