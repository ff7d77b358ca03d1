#pragma once

#include "layout/wrappedtext.h"

#include <QLabel>

#include <optional>

// A label of the pupil's page. On the design's page it is a plain label,
// drawn as the toolkit draws one. On any other page it draws its caption
// itself, with the same line breaking the layout measured it with
// (layout/wrappedtext.h): in its font, within its text width, its lines
// `lineSpacing` apart; a prompt's "N°" where the layout put it; and, on the
// passage, the reading ruler: a band across the line being read.
//
// Its caption stays what it is given, mark and spaces included: a screen
// reader reads the same names on every page, and the record's prompts never
// depend on how a page shows them.
class PageLabel : public QLabel
{
    Q_OBJECT

public:
    struct Style
    {
        qreal lineSpacing = 1;
        int textWidth = 0;
        std::optional<int> markLeft;
        friend bool operator==(const Style &, const Style &) = default;
    };

    explicit PageLabel(QWidget *parent);

    // Drawn by the toolkit, as designed (the default), or in `style`.
    void drawAsDesigned();
    void setTextStyle(const Style &style);

    // The ruler's band, on the line at `line` (clamped to the text); off
    // with std::nullopt.
    void setRuler(std::optional<int> line);
    std::optional<int> rulerLine() const { return m_rulerLine; }
    void moveRuler(int lines);
    int lineCount() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString shownText() const;
    const WrappedText &lines() const;

    std::optional<Style> m_style;
    std::optional<int> m_rulerLine;
    mutable std::optional<WrappedText> m_lines;
    mutable QString m_linesText;
};
