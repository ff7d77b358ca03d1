#include "window/pagewidgets.h"

#include "layout/designgeometry.h"
#include "window/answerbox.h"
#include "window/pagelabel.h"
#include "window/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QProxyStyle>
#include <QPushButton>
#include <QResource>

namespace {

// The answer boxes' caret, as wide as the page is scaled: a one-pixel caret
// is lost in a box drawn three times its size.
class CaretStyle : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TextCursorWidth && widget) {
            const int width = widget->property(caretWidthProperty).toInt();
            if (width > 0)
                return width;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    static constexpr const char *caretWidthProperty = "morvel2CaretWidth";
};

void setCaretWidth(QWidget *box, int width)
{
    // Left to the style itself until a page is scaled.
    if (width <= 1 && !box->property(CaretStyle::caretWidthProperty).isValid())
        return;
    static QPointer<CaretStyle> style;
    if (!style) {
        style = new CaretStyle;
        style->setParent(qApp);
    }
    box->setProperty(CaretStyle::caretWidthProperty, width);
    if (box->style() != style) {
        box->setStyle(style);
        return;
    }
    // The box reads its caret's width again when told its style changed.
    QEvent changed(QEvent::StyleChange);
    QCoreApplication::sendEvent(box, &changed);
}

void applyText(QLabel *label, const PageText &text, const PageLayout &layout)
{
    label->setGeometry(text.rect);
    label->setFont(text.font);
    auto *page = qobject_cast<PageLabel *>(label);
    if (!page)
        return;
    if (layout.kind == PageLayout::Kind::Design)
        page->drawAsDesigned();
    else
        page->setTextStyle({layout.lineSpacing, text.textWidth, text.markLeft});
}

} // namespace

QColor designColour(quint32 bgr)
{
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

void setColour(QWidget *widget, QPalette::ColorRole role, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

QLabel *makeLabel(QWidget *parent, const QString &name, QRect twips, const QFont &font,
                  const QColor &background, Qt::Alignment alignment)
{
    auto *label = new PageLabel(parent);
    label->setObjectName(name);
    label->setGeometry(Twips::toPixels(twips.x(), twips.y(), twips.width(), twips.height()));
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(alignment | Qt::AlignTop);
    label->setAutoFillBackground(true);
    setColour(label, QPalette::Window, background);
    return label;
}

QLabel *makePicture(QWidget *parent)
{
    auto *picture = new QLabel(parent);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setGeometry(Twips::toPixels(DesignGeometry::picture));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(2);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    picture->setAutoFillBackground(true);
    setColour(picture, QPalette::Window, DesignColours::white);
    return picture;
}

void colourAnswerBox(QWidget *box)
{
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, DesignColours::peach);
    // Dark grey on peach is 8:1, where the style's pale grey gave 1.5:1.
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(0x40, 0x40, 0x40));
    box->setPalette(palette);
}

ControlChrome controlChrome(const QLineEdit *box)
{
    // As QLineEdit sizes itself: 17 "x" wide, one line tall, plus the frame
    // and margins; and room for the caret.
    const QFontMetrics metrics(box->font());
    return {QApplication::font(), box->sizeHint().width() - 17 * metrics.horizontalAdvance(u'x') + 2,
            box->sizeHint().height() - metrics.height()};
}

QIcon programIcon()
{
    QIcon icon;
    for (const int size : {16, 32, 48}) {
        const QResource pixels(QStringLiteral(":/icons/morvel2-%1.rgba").arg(size));
        if (pixels.size() < qint64(size) * size * 4)
            continue;
        const QImage image(pixels.data(), size, size, QImage::Format_RGBA8888);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

QString elementName(const char *arrayName, int index)
{
    return QStringLiteral("%1(%2)").arg(QLatin1String(arrayName)).arg(index);
}

void applyPageLayout(const PageLayout &layout, const ReadingSettings &reading, const PageControls &controls)
{
    applyText(controls.banner, layout.banner, layout);
    applyText(controls.passage, layout.passage, layout);
    applyText(controls.instruction, layout.instruction, layout);
    const qsizetype rows = std::min({layout.rows.size(), controls.prompts.size(), controls.boxes.size()});
    for (qsizetype row = 0; row < rows; ++row) {
        applyText(controls.prompts[row], layout.rows[row].prompt, layout);
        AnswerBox *box = controls.boxes[row];
        box->setGeometry(layout.rows[row].answerBox);
        box->setFont(layout.answerFont);
        setCaretWidth(box, layout.caretWidth);
    }
    controls.verifyButton->setGeometry(layout.verifyButton);
    controls.checkBox->setGeometry(layout.checkBox);
    controls.picture->setGeometry(layout.picture);
    for (QWidget *control : std::initializer_list<QWidget *>{controls.verifyButton, controls.checkBox})
        control->setFont(layout.controlFont);

    setColour(controls.passage, QPalette::Window, passageBackground(reading.background));
    if (auto *passage = qobject_cast<PageLabel *>(controls.passage)) {
        const bool ruler = reading.readingRuler && layout.kind != PageLayout::Kind::Design;
        passage->setRuler(ruler ? std::optional<int>(passage->rulerLine().value_or(0)) : std::nullopt);
    }
}
