#include "layout/pagelayout.h"

#include "layout/designgeometry.h"
#include "layout/pagefitting.h"
#include "layout/pagefonts.h"
#include "layout/wrappedtext.h"
#include "window/designfont.h"
#include "window/twips.h"

#include <QFontInfo>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

using namespace DesignGeometry;

namespace {

// Twips to window pixels at one scale. Every edge is rounded on its own, so
// that boxes that meet in twips meet in pixels.
struct Scale
{
    double pixelsPerTwip;

    int at(double twips) const { return static_cast<int>(std::lround(twips * pixelsPerTwip)); }
    int span(int from, int length) const { return at(from + length) - at(from); }
    QRect rect(const QRect &twips) const
    {
        return {at(twips.x()), at(twips.y()), span(twips.x(), twips.width()), span(twips.y(), twips.height())};
    }
};

int pixels(double size)
{
    return std::max(1, static_cast<int>(std::lround(size)));
}

int standardPixels(const ControlChrome &chrome)
{
    return QFontInfo(chrome.standardFont).pixelSize();
}

QFont resized(QFont font, int pixelSize)
{
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

int textHeight(const PageText &text, double lineSpacing)
{
    return static_cast<int>(
        std::ceil(WrappedText(text.text, text.font, text.textWidth, lineSpacing, text.alignment).height()));
}

PageText pageText(const QRect &rect, const QFont &font, const QString &text,
                  Qt::Alignment alignment = Qt::AlignLeft)
{
    return {rect, font, text, rect.width(), alignment, std::nullopt};
}

// The design's page, exactly: each row as start-up places it, 100 twips
// below the row above as it stands in pixels.
PageLayout designPage(const Exercise &exercise, const ControlChrome &chrome)
{
    const auto px = [](const QRect &twips) { return Twips::toPixels(twips); };
    PageLayout layout;
    layout.page = px(QRect(QPoint(0, 0), page));
    layout.banner = pageText(px(banner), designFont(textPixels), exercise.readingInstruction, Qt::AlignHCenter);
    layout.passage = pageText(px(passage), designFont(textPixels), exercise.passage());
    layout.instruction = pageText(px(instruction), designFont(instructionPixels), exercise.questionInstruction);
    QRect label = px(prompt);
    QRect box = px(answerBox);
    for (const Idea &idea : exercise.ideas) {
        layout.rows.append({pageText(label, designFont(textPixels), idea.prompt), box});
        const int top = Twips::toPixels(Twips::fromPixels(box.height()) + Twips::fromPixels(box.y()) + rowGap);
        label.moveTop(top);
        box.moveTop(top);
    }
    layout.answerFont = layout.controlFont = layout.messageFont = chrome.standardFont;
    layout.verifyButton = px(verifyButton);
    layout.checkBox = px(checkBox);
    layout.picture = px(picture);
    return layout;
}

// Each text as tall as it needs, never less than designed. Every part
// stands where the design puts it, moved down by what the parts above it
// grew: rows past the design's fourth follow at the design's pitch. A row
// is as tall as its prompt or its answer box; a scaled design row keeps the
// box as tall as the prompt.
void stackVertically(PageLayout &layout, const Scale &scale, int boxHeight)
{
    int grown = 0;
    const auto place = [&](PageText &text, int designTop, int designHeight, int least) {
        const int height = scale.span(designTop, designHeight);
        text.rect.moveTop(scale.at(designTop) + grown);
        text.rect.setHeight(std::max({height, least, textHeight(text, layout.lineSpacing)}));
        grown += text.rect.height() - height;
    };
    place(layout.banner, banner.y(), banner.height(), 0);
    place(layout.passage, passage.y(), passage.height(), 0);
    place(layout.instruction, instruction.y(), instruction.height(), 0);
    const int pitch = prompt.height() + rowGap;
    for (int row = 0; row < layout.rows.size(); ++row) {
        PageRow &pageRow = layout.rows[row];
        place(pageRow.prompt, prompt.y() + row * pitch, prompt.height(), boxHeight);
        pageRow.answerBox.moveTop(pageRow.prompt.rect.top());
        const bool scaledDesign = layout.kind == PageLayout::Kind::ScaledDesign;
        pageRow.answerBox.setHeight(scaledDesign ? pageRow.prompt.rect.height() : boxHeight);
    }
    // Below the last row, the margin the design leaves below its fourth.
    const int rows = std::max<int>(layout.rows.size(), layout.kind == PageLayout::Kind::ScaledDesign ? 4 : 1);
    const int margin = page.height() - (prompt.y() + 4 * pitch - rowGap);
    layout.page.setHeight(scale.at(prompt.y() + rows * pitch - rowGap + margin) + grown);
}

// The design's page, every position, size and font multiplied by `s`; the
// fonts rounded down, so that no caption grows past its control.
PageLayout scaledDesignPage(const Exercise &exercise, const ControlChrome &chrome, double s)
{
    const Scale scale{s / Twips::perPixel};
    const int text = pixels(std::floor(textPixels * s));
    PageLayout layout;
    layout.kind = PageLayout::Kind::ScaledDesign;
    layout.scale = s;
    layout.page = QRect(0, 0, scale.at(page.width()), 0);
    layout.banner = pageText(scale.rect(banner), designFont(text), exercise.readingInstruction, Qt::AlignHCenter);
    layout.passage = pageText(scale.rect(passage), designFont(text), exercise.passage());
    layout.instruction = pageText(scale.rect(instruction), designFont(pixels(std::floor(instructionPixels * s))),
                                  exercise.questionInstruction);
    for (const Idea &idea : exercise.ideas)
        layout.rows.append({pageText(scale.rect(prompt), designFont(text), idea.prompt), scale.rect(answerBox)});
    const int standard = pixels(standardPixels(chrome) * s);
    layout.answerFont = layout.controlFont = layout.messageFont = resized(chrome.standardFont, standard);
    layout.caretWidth = pixels(s);
    layout.verifyButton = scale.rect(verifyButton);
    layout.checkBox = scale.rect(checkBox);
    layout.picture = scale.rect(picture);
    const int boxHeight = static_cast<int>(std::ceil(QFontMetricsF(layout.answerFont).height())) + chrome.boxChromeHeight;
    stackVertically(layout, scale, boxHeight);
    return layout;
}

// The rows laid out from their content: each idea wraps in one column, its
// "N°" after the widest idea (never before where the design puts the
// answer boxes, grown with the text), then its answer box, wide and tall
// enough for a digit in its font.
void layOutRows(PageLayout &layout, const Exercise &exercise, const Scale &scale, const QFont &font, double k,
                int right, const ControlChrome &chrome)
{
    const QFontMetricsF answer(layout.answerFont);
    qreal digit = 0;
    for (char c = '1'; c <= '9'; ++c)
        digit = std::max(digit, answer.horizontalAdvance(QLatin1Char(c)));
    const int boxWidth = std::max(scale.span(answerBox.x(), answerBox.width()),
                                  static_cast<int>(std::ceil(digit)) + chrome.boxChromeWidth);
    const int mark = static_cast<int>(std::ceil(WrappedText(QStringLiteral("N°"), font, 1e6).naturalWidth()));
    // "N°" stands apart from the idea, as the design's runs of spaces set
    // it, and close to its box.
    const int before = static_cast<int>(std::lround(150 * scale.pixelsPerTwip * k));
    const int after = static_cast<int>(std::lround(90 * scale.pixelsPerTwip * k));
    const int left = scale.at(prompt.x());
    qreal widest = 0;
    for (const Idea &idea : exercise.ideas)
        widest = std::max(widest, WrappedText(promptWithoutMark(idea.prompt), font, 1e6).naturalWidth());
    const int designBox = static_cast<int>(std::lround(answerBox.x() * scale.pixelsPerTwip * k));
    const int boxLeft = std::min(std::max(left + static_cast<int>(std::ceil(widest)) + before + mark + after, designBox),
                                 right - boxWidth);
    const int column = std::max(1, boxLeft - left - before - mark - after);
    // The box covers the end of its row's label, as designed (15 twips).
    const int overlap = scale.span(answerBox.x(), prompt.x() + prompt.width() - answerBox.x());
    for (const Idea &idea : exercise.ideas) {
        PageText text{QRect(left, 0, boxLeft + overlap - left, 0), font, promptWithoutMark(idea.prompt), column,
                      Qt::AlignLeft, column + before};
        layout.rows.append({text, QRect(boxLeft, 0, boxWidth, 0)});
    }
}

// The page laid out from its content at scale `s`, in a room `roomWidth`
// wide: each box as wide as designed, widened with the text's size, and
// `widen` (0 to 1) of the way from there to the room's width; never wider.
PageLayout contentPage(const Exercise &exercise, const ReadingSettings &reading, const ControlChrome &chrome,
                       int roomWidth, double s, double widen)
{
    const Scale scale{s / Twips::perPixel};
    const double k = reading.textSizePercent / 100.0;
    const auto font = [&](int designPixels) {
        return pageFont(reading.font, pixels(designPixels * s * k), reading.letterSpacingHundredths,
                        reading.wordSpacingHundredths);
    };
    const auto widened = [&](int twips, int most) {
        const int designed = std::min(static_cast<int>(std::lround(twips * scale.pixelsPerTwip * k)), most);
        return std::max(1, designed + static_cast<int>(std::lround(widen * (most - designed))));
    };
    PageLayout layout;
    layout.kind = PageLayout::Kind::FromContent;
    layout.scale = s;
    layout.lineSpacing = reading.lineSpacingPercent / 100.0;
    const int margin = scale.at(passage.x());
    const int passageWidth = widened(passage.width(), roomWidth - 2 * margin);
    layout.page = QRect(0, 0, passageWidth + 2 * margin, 0);
    const int bannerWidth = widened(banner.width(), passageWidth);
    layout.banner = pageText(QRect(margin + (passageWidth - bannerWidth) / 2, 0, bannerWidth, 0), font(textPixels),
                             exercise.readingInstruction, Qt::AlignHCenter);
    layout.passage = pageText(QRect(margin, 0, passageWidth, 0), font(textPixels), exercise.passage());
    layout.instruction = pageText(QRect(margin, 0, widened(instruction.width(), passageWidth), 0),
                                  font(instructionPixels), exercise.questionInstruction);
    // A typed digit as large as the prompt beside it, in its face.
    layout.answerFont = pageFont(reading.font, pixels(textPixels * s * k));
    layout.controlFont = resized(chrome.standardFont, pixels(standardPixels(chrome) * s));
    layout.messageFont = resized(chrome.standardFont, pixels(standardPixels(chrome) * s * k));
    layout.caretWidth = pixels(s * k);
    layOutRows(layout, exercise, scale, font(textPixels), k, margin + passageWidth, chrome);
    layout.verifyButton = scale.rect(verifyButton);
    layout.checkBox = scale.rect(checkBox);
    layout.picture = scale.rect(picture);
    const int boxHeight = std::max(scale.span(answerBox.y(), answerBox.height()),
                                   static_cast<int>(std::ceil(QFontMetricsF(layout.answerFont).height()))
                                       + chrome.boxChromeHeight);
    stackVertically(layout, scale, boxHeight);
    return layout;
}

// The passage at scale `s`, as wide as the room lets it, and the rest of
// the page as tall as designed: no text grows less.
FirstLook firstLook(const Exercise &exercise, const ReadingSettings &reading, int roomWidth, double s)
{
    const Scale scale{s / Twips::perPixel};
    const int margin = scale.at(passage.x());
    const QFont font = pageFont(reading.font, pixels(textPixels * s * reading.textSizePercent / 100.0),
                                reading.letterSpacingHundredths, reading.wordSpacingHundredths);
    const WrappedText text(exercise.passage(), font, std::max(1, roomWidth - 2 * margin),
                           reading.lineSpacingPercent / 100.0);
    const int rows = std::max(1, exercise.ideaCount());
    const int rest = page.height() - passage.height() + (rows - 4) * (prompt.height() + rowGap);
    return {std::max<double>(scale.span(passage.y(), passage.height()), std::ceil(text.height())),
            double(scale.at(rest))};
}

void translate(PageText &text, const QPoint &by)
{
    text.rect.translate(by);
}

void moveTo(PageLayout &layout, const QPoint &origin)
{
    layout.page.translate(origin);
    for (PageText *text : {&layout.banner, &layout.passage, &layout.instruction})
        translate(*text, origin);
    for (PageRow &row : layout.rows) {
        translate(row.prompt, origin);
        row.answerBox.translate(origin);
    }
    for (QRect *rect : {&layout.verifyButton, &layout.checkBox, &layout.picture})
        rect->translate(origin);
}

} // namespace

QString promptWithoutMark(const QString &caption)
{
    QString text = caption;
    if (text.endsWith(QStringLiteral("N°")))
        text.chop(2);
    return text.trimmed();
}

double fitScale(const QSize &room)
{
    const double width = double(page.width()) / Twips::perPixel;
    const double height = double(page.height()) / Twips::perPixel;
    return std::min(room.width() / width, room.height() / height);
}

PageLayout layOutPage(const Exercise &exercise, const ReadingSettings &reading, const PageSetting &setting,
                      const QSize &room, const ControlChrome &chrome)
{
    const bool design = exercise.builtIn && reading.isDesign();
    if (design && setting.kind == PageSetting::Kind::Design)
        return designPage(exercise, chrome);
    // A window not yet given a size is taken for the design's page.
    const QSize space = room.isEmpty() ? designPage(exercise, chrome).page.size() : room;
    const double fit = fitScale(space);
    double wanted = 1;
    if (setting.kind == PageSetting::Kind::Fit)
        wanted = fit;
    else if (setting.kind == PageSetting::Kind::Percent)
        wanted = std::min(setting.percent / 100.0, fit);
    if (design && wanted == 1)
        return designPage(exercise, chrome);

    PageLayout layout =
        design ? largestScaledDesign([&](double s, double) { return scaledDesignPage(exercise, chrome, s); },
                                     wanted, space)
               : largestFromContent(
                     [&](double s, double widen) {
                         return contentPage(exercise, reading, chrome, space.width(), s, widen);
                     },
                     [&](double s) { return firstLook(exercise, reading, space.width(), s); },
                     textPixels * reading.textSizePercent / 100.0, wanted, space);
    // At the design's size the page keeps the design's corner; scaled, it is
    // centred as a page is.
    if (setting.kind != PageSetting::Kind::Design)
        moveTo(layout, QPoint((space.width() - layout.page.width()) / 2,
                              std::max(0, (space.height() - layout.page.height()) / 2)));
    return layout;
}
