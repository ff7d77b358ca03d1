#include "layout/pageoverflow.h"

#include "layout/wrappedtext.h"

#include <cmath>

namespace {

// The exercise without the last `characters` of its passage.
Exercise withoutEnd(const Exercise &exercise, qsizetype characters)
{
    Exercise shorter = exercise;
    while (characters > 0 && !shorter.paragraphs.isEmpty()) {
        QString &last = shorter.paragraphs.last();
        if (last.size() > characters) {
            last.chop(characters);
            break;
        }
        characters -= last.size();
        shorter.paragraphs.removeLast();
    }
    if (shorter.paragraphs.isEmpty())
        shorter.paragraphs = {QStringLiteral(".")};
    return shorter;
}

} // namespace

PageOverflow pageOverflow(const Exercise &exercise, const ControlChrome &chrome, const QSize &room)
{
    PageOverflow overflow;
    const PageLayout inRoom = layOutPage(exercise, {}, {}, room, chrome);
    if (inRoom.scale >= 1)
        return overflow;
    overflow.fits = false;
    // At the design's size, however tall: the passage at its least height
    // and the rest of the page.
    const PageLayout tall = layOutPage(exercise, {}, {}, QSize(room.width(), 1 << 20), chrome);
    Exercise shortest = exercise;
    shortest.paragraphs = {QStringLiteral(".")};
    const PageLayout least = layOutPage(shortest, {}, {}, QSize(room.width(), 1 << 20), chrome);
    const int rest = tall.page.height() - tall.passage.rect.height();
    const int leastPassage = least.passage.rect.height();
    if (rest + leastPassage > room.height()) {
        overflow.passageCanFit = false;
        return overflow;
    }
    // As many lines as the layout itself must lose: a line's worth of text
    // at a time, from the end, as wide as the room lets a line be, until
    // the page keeps its size.
    const int margin = tall.passage.rect.left() - tall.page.left();
    const WrappedText passage(exercise.passage(), tall.passage.font, room.width() - 2 * margin);
    const int lines = std::max(1, passage.lineCount());
    const double perLine = double(exercise.passage().size()) / lines;
    const auto fitsWithout = [&](int cut) {
        const Exercise shorter = withoutEnd(exercise, qsizetype(std::ceil(cut * perLine)));
        return layOutPage(shorter, {}, {}, room, chrome).scale >= 1;
    };
    int low = 0; // does not fit
    int high = lines; // fits: the passage at its least
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (fitsWithout(middle) ? high : low) = middle;
    }
    overflow.linesToCut = high;
    return overflow;
}
