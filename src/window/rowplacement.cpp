#include "window/rowplacement.h"

#include "window/twips.h"

#include <QWidget>

void placeQuestionRow(QWidget &prompt, QWidget &box, const QWidget &boxAbove)
{
    const int top = Twips::fromPixels(boxAbove.height()) + Twips::fromPixels(boxAbove.y()) + 100;
    box.move(box.x(), Twips::toPixels(top));
    prompt.move(prompt.x(), box.y());
}
