#include "checkbox/verification.h"

#include <algorithm>

namespace {

const Value separator = QStringLiteral(" ; ");

QString passedMessage(int hits)
{
    return QStringLiteral("BRAVO ") + Value(hits).numberText() + QStringLiteral(" réponse(s) exacte(s) ");
}

QString failedMessage(int hits, int misses, const Value &comment)
{
    return QStringLiteral("On reverra...") + Value(hits).numberText()
           + QStringLiteral("  réponse(s) exacte(s)  et  ") + Value(misses).numberText()
           + QStringLiteral(" erreur(s) ") + QStringLiteral("\n\n") + comment.text();
}

} // namespace

std::optional<Verification> verifyCurrentSet(CheckBoxState &state)
{
    const int set = state.currentSet.number();
    if (set < 0 || set >= setCount)
        return std::nullopt;

    Verification result;
    // The count is read once, before the first item; items beyond the eighth
    // have no box and are not judged.
    const int itemCount = std::min(state.setItemCount[set].number(), itemsPerSet);
    for (int item = 0; item < itemCount; ++item) {
        const Value &tick = state.checkState[item];
        const bool ticked = tick == 1;
        if (tick == state.expectedCheck[set][item]) {
            if (ticked)
                ++result.hits;
            continue;
        }
        ++result.misses;
        Value &notes = ticked ? state.errorNotes[set] : state.missNotes[set];
        notes = notes + separator + state.itemText[set][item];
    }

    state.totalMisses = state.totalMisses + result.misses;
    state.totalHits = state.totalHits + result.hits;
    result.hitsCaption = QStringLiteral("réussites=") + state.totalHits.numberText();
    result.missesCaption = QStringLiteral("Oublis et erreurs=") + state.totalMisses.numberText();

    result.passed = result.misses == 0;
    if (result.passed) {
        state.setPassed[set] = 1;
        state.passedSetCount = state.passedSetCount + 1;
        result.picturePath = QStringLiteral("c:\\vbtxt\\face2.bmp");
        result.title = QStringLiteral("Je constate:");
        result.message = passedMessage(result.hits);
    } else {
        result.picturePath = QStringLiteral("c:\\vbtxt\\color2.bmp");
        result.title = QStringLiteral("On peut observer:");
        result.message = failedMessage(result.hits, result.misses, state.setComment[set]);
    }
    return result;
}
