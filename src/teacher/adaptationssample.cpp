#include "teacher/adaptationssample.h"

#include "exercise/content.h"
#include "layout/designgeometry.h"
#include "layout/pagefonts.h"
#include "layout/wrappedtext.h"
#include "window/pagelabel.h"

#include <QPalette>

#include <cmath>

namespace {

constexpr int margin = 8;

} // namespace

AdaptationsSample::AdaptationsSample(QWidget *parent)
    : QWidget(parent)
    , m_label(new PageLabel(this))
{
    setAutoFillBackground(true);
    // The passage's first paragraph, as the pupil reads it.
    m_label->setText(Content::passage().section(u'\n', 0, 0));
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setTextFormat(Qt::PlainText);
    setAccessibleName(QStringLiteral("Aperçu du texte"));
    setSettings({});
}

QString AdaptationsSample::text() const
{
    return m_label->text();
}

void AdaptationsSample::setSettings(const ReadingSettings &settings)
{
    m_settings = settings;
    installReadingFont(settings.font);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, passageBackground(settings.background));
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    m_label->setFont(pageFont(settings.font, DesignGeometry::textPixels * settings.textSizePercent / 100,
                              settings.letterSpacingHundredths, settings.wordSpacingHundredths));
    refit();
}

void AdaptationsSample::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    refit();
}

void AdaptationsSample::refit()
{
    const int width = std::max(1, this->width() - 2 * margin);
    const qreal spacing = m_settings.lineSpacingPercent / 100.0;
    const WrappedText lines(m_label->text(), m_label->font(), width, spacing);
    m_label->setGeometry(margin, margin, width, int(std::ceil(lines.height())) + 1);
    m_label->setTextStyle({spacing, width, std::nullopt});
    m_label->setRuler(m_settings.readingRuler ? std::optional(0) : std::nullopt);
    setMinimumHeight(m_label->height() + 2 * margin);
}
