#include "reading/readingsettings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

QList<int> steps(int first, int last, int step)
{
    QList<int> values;
    for (int value = first; value <= last; value += step)
        values.append(value);
    return values;
}

int nearest(const QList<int> &choices, int value)
{
    return *std::min_element(choices.cbegin(), choices.cend(), [value](int a, int b) {
        return std::abs(a - value) < std::abs(b - value);
    });
}

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
}

} // namespace

QList<int> textSizeChoices()
{
    return steps(100, 250, 25);
}

QList<int> lineSpacingChoices()
{
    return steps(100, 200, 25);
}

QList<int> letterSpacingChoices()
{
    return steps(0, 30, 5);
}

QList<int> wordSpacingChoices()
{
    return steps(0, 50, 10);
}

ReadingSettings normalised(const ReadingSettings &settings)
{
    ReadingSettings result = settings;
    result.textSizePercent = nearest(textSizeChoices(), settings.textSizePercent);
    result.lineSpacingPercent = nearest(lineSpacingChoices(), settings.lineSpacingPercent);
    result.letterSpacingHundredths = nearest(letterSpacingChoices(), settings.letterSpacingHundredths);
    result.wordSpacingHundredths = nearest(wordSpacingChoices(), settings.wordSpacingHundredths);
    return result;
}

QColor passageBackground(PassageBackground background)
{
    switch (background) {
    case PassageBackground::White:
        return QColor(255, 255, 255);
    case PassageBackground::Cream:
        return QColor(255, 248, 220);
    case PassageBackground::Design:
        break;
    }
    return QColor(0, 255, 255); // &H00FFFF00&
}

QColor rulerBand()
{
    return QColor(255, 255, 160);
}

QColor rulerEdge()
{
    return QColor(0, 0, 160);
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
