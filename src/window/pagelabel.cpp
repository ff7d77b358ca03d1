#include "window/pagelabel.h"

#include "layout/pagelayout.h"
#include "reading/readingsettings.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

PageLabel::PageLabel(QWidget *parent)
    : QLabel(parent)
{
}

void PageLabel::drawAsDesigned()
{
    if (!m_style && !m_rulerLine)
        return;
    m_style.reset();
    m_lines.reset();
    setRuler(std::nullopt);
    update();
}

void PageLabel::setTextStyle(const Style &style)
{
    if (m_style == style)
        return;
    m_style = style;
    m_lines.reset();
    if (m_rulerLine)
        setRuler(m_rulerLine);
    update();
}

void PageLabel::setRuler(std::optional<int> line)
{
    if (line && (!m_style || lines().lineCount() == 0))
        line.reset();
    if (line)
        line = std::clamp(*line, 0, lines().lineCount() - 1);
    setMouseTracking(line.has_value());
    if (line == m_rulerLine)
        return;
    m_rulerLine = line;
    update();
}

void PageLabel::moveRuler(int lines)
{
    if (m_rulerLine)
        setRuler(*m_rulerLine + lines);
}

int PageLabel::lineCount() const
{
    return m_style ? lines().lineCount() : 0;
}

QString PageLabel::shownText() const
{
    return m_style && m_style->markLeft ? promptWithoutMark(text()) : text();
}

const WrappedText &PageLabel::lines() const
{
    const QString shown = shownText();
    if (!m_lines || m_linesText != shown) {
        m_lines.emplace(shown, font(), m_style ? m_style->textWidth : width(), m_style ? m_style->lineSpacing : 1,
                        alignment());
        m_linesText = shown;
    }
    return *m_lines;
}

void PageLabel::paintEvent(QPaintEvent *event)
{
    if (!m_style) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const WrappedText &text = lines();
    if (m_rulerLine && *m_rulerLine < text.lineCount()) {
        const QRectF band = text.lineBand(*m_rulerLine, width()).intersected(QRectF(rect()));
        painter.fillRect(band, rulerBand());
        const qreal edge = std::max(1.0, std::round(font().pixelSize() / 12.0));
        painter.fillRect(QRectF(band.left(), band.top(), band.width(), edge), rulerEdge());
        painter.fillRect(QRectF(band.left(), band.bottom() - edge, band.width(), edge), rulerEdge());
    }
    painter.setPen(palette().color(QPalette::WindowText));
    text.draw(&painter, QPointF(0, 0));
    if (m_style->markLeft) {
        const WrappedText mark(QStringLiteral("N°"), font(), width());
        const qreal baseline = text.lineCount() > 0 ? text.firstBaseline() : mark.firstBaseline();
        mark.draw(&painter, QPointF(*m_style->markLeft, baseline - mark.firstBaseline()));
    }
}

void PageLabel::mouseMoveEvent(QMouseEvent *event)
{
    if (m_rulerLine)
        setRuler(lines().lineAt(event->position().y()));
    QLabel::mouseMoveEvent(event);
}

void PageLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        m_lines.reset();
    QLabel::changeEvent(event);
}
