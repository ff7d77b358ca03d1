#pragma once

#include "reading/readingsettings.h"

#include <QWidget>

class PageLabel;

// A few lines of the passage as a pupil with these reading settings reads
// them: the face, size and spacing, the background, the ruler on the first
// line, drawn by the label the pupil's page draws with.
class AdaptationsSample : public QWidget
{
    Q_OBJECT

public:
    explicit AdaptationsSample(QWidget *parent = nullptr);

    void setSettings(const ReadingSettings &settings);
    QString text() const;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void refit();

    PageLabel *m_label;
    ReadingSettings m_settings;
};
