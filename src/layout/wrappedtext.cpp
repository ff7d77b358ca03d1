#include "layout/wrappedtext.h"

#include <QFontMetricsF>
#include <QTextLayout>

#include <algorithm>

WrappedText::WrappedText(const QString &text, const QFont &font, qreal width, qreal lineSpacing,
                         Qt::Alignment alignment)
{
    if (text.isEmpty())
        return;
    const QFontMetricsF metrics(font);
    m_pitch = lineSpacing * metrics.lineSpacing();
    // Centred here rather than by the text engine, whose centring can push a
    // line's end a fraction of a pixel past the width.
    const bool centred = alignment & Qt::AlignHCenter;
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    // The lines are laid out first, then placed on baselines one pitch apart
    // from the tallest ascent, so that a face with taller glyphs than its
    // metrics say is not cut at the top.
    QList<QTextLine> lines;
    qreal ascent = metrics.ascent();
    qreal descent = metrics.descent();
    // A word broken where it must may end a fraction of a pixel past the
    // width it was broken in: broken again a little narrower, it fits.
    qreal breakWidth = width;
    for (int attempt = 0; attempt < 3; ++attempt) {
        lines.clear();
        m_paragraphs.clear();
        qreal widest = 0;
        for (const QString &paragraph : text.split(u'\n')) {
            auto layout = std::make_unique<QTextLayout>(paragraph, font);
            layout->setTextOption(option);
            layout->setCacheEnabled(true);
            layout->beginLayout();
            for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
                line.setLineWidth(breakWidth);
                lines.append(line);
                widest = std::max(widest, line.naturalTextWidth());
                ascent = std::max(ascent, line.ascent());
                descent = std::max(descent, line.descent());
            }
            layout->endLayout();
            m_paragraphs.push_back(std::move(layout));
        }
        if (widest <= width)
            break;
        breakWidth -= widest - width;
    }
    m_ascent = ascent;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QTextLine &line = lines[i];
        const qreal natural = line.naturalTextWidth();
        const qreal baseline = i * m_pitch + ascent;
        line.setPosition(QPointF(centred ? std::max(0.0, (width - natural) / 2) : 0, baseline - line.ascent()));
        m_lines.append({QRectF(line.cursorToX(line.textStart()), baseline - ascent, natural, ascent + descent),
                        baseline - ascent});
    }
    m_height = (lines.size() - 1) * m_pitch + ascent + descent;
}

WrappedText::WrappedText(WrappedText &&) noexcept = default;
WrappedText &WrappedText::operator=(WrappedText &&) noexcept = default;
WrappedText::~WrappedText() = default;

QRectF WrappedText::lineBand(int index, qreal width) const
{
    const Line &line = m_lines.at(index);
    const qreal extra = (m_pitch - line.rect.height()) / 2;
    return QRectF(0, line.top - extra, width, m_pitch);
}

int WrappedText::lineAt(qreal y) const
{
    if (m_lines.isEmpty())
        return -1;
    const int index = m_pitch > 0 ? static_cast<int>((y - m_lines.first().top + (m_pitch - m_lines.first().rect.height()) / 2) / m_pitch) : 0;
    return std::clamp(index, 0, lineCount() - 1);
}

qreal WrappedText::naturalWidth() const
{
    qreal widest = 0;
    for (const Line &line : m_lines)
        widest = std::max(widest, line.rect.width());
    return widest;
}

void WrappedText::draw(QPainter *painter, const QPointF &origin) const
{
    for (const auto &paragraph : m_paragraphs)
        paragraph->draw(painter, origin);
}
