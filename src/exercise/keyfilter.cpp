#include "exercise/keyfilter.h"

KeyAction filterKey(bool rowLocked, char32_t code, int paragraphCount)
{
    if (rowLocked)
        return KeyAction::ShowExpected;
    if (code == carriageReturnCode)
        return KeyAction::Commit;
    if (code == backspaceCode || (code >= U'1' && code < U'1' + char32_t(qBound(2, paragraphCount, 9))))
        return KeyAction::Accept;
    return KeyAction::Discard;
}

QString committedAnswer(const QString &boxText)
{
    qsizetype first = 0;
    qsizetype last = boxText.size();
    while (first < last && boxText.at(first) == u' ')
        ++first;
    while (last > first && boxText.at(last - 1) == u' ')
        --last;
    return boxText.mid(first, last - first);
}
