#pragma once

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QTextLayout;

// A text broken into lines within a width, one font, lines a set multiple of
// the font's line spacing apart; a line feed starts a new line. The page is
// laid out with it and its labels draw with it, so that what was measured is
// what is drawn. A word too long for the width is broken where it must:
// nothing ever reaches past the width.
class WrappedText
{
public:
    WrappedText(const QString &text, const QFont &font, qreal width, qreal lineSpacing = 1,
                Qt::Alignment alignment = Qt::AlignLeft);
    WrappedText(WrappedText &&) noexcept;
    WrappedText &operator=(WrappedText &&) noexcept;
    ~WrappedText();

    int lineCount() const { return static_cast<int>(m_lines.size()); }
    // From the first line's top to the last line's bottom; 0 without text.
    qreal height() const { return m_height; }
    // Where line `index`'s text stands, from the box's top-left corner.
    QRectF lineRect(int index) const { return m_lines.at(index).rect; }
    // The band line `index` owns: from halfway to the line above to halfway
    // to the line below, so that bands follow each other without gaps.
    QRectF lineBand(int index, qreal width) const;
    // The line at height `y`, the nearest one above or below the text.
    int lineAt(qreal y) const;
    // The widest line's width.
    qreal naturalWidth() const;
    qreal firstBaseline() const { return m_ascent; }

    void draw(QPainter *painter, const QPointF &origin) const;

private:
    struct Line
    {
        QRectF rect;
        qreal top = 0; // of the line's own height, ascent and descent
    };
    std::vector<std::unique_ptr<QTextLayout>> m_paragraphs;
    QList<Line> m_lines;
    qreal m_height = 0;
    qreal m_ascent = 0;
    qreal m_pitch = 0;
};
