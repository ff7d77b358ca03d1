#include "layout/pageoverflow.h"

#include "layout/wrappedtext.h"

#include <cmath>

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
    // The passage as the layout widens it before making the page smaller.
    const int margin = tall.passage.rect.left() - tall.page.left();
    const WrappedText passage(exercise.passage(), tall.passage.font, room.width() - 2 * margin);
    const double excess = rest + std::max<double>(leastPassage, std::ceil(passage.height())) - room.height();
    const double pitch = passage.lineCount() > 0 ? passage.height() / passage.lineCount() : 1;
    overflow.linesToCut = std::max(1, static_cast<int>(std::ceil(excess / pitch)));
    return overflow;
}
