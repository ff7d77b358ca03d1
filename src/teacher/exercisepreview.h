#pragma once

#include "exercise/exercise.h"
#include "layout/pagesetting.h"
#include "reading/readingsettings.h"

#include <QList>
#include <QString>

#include <utility>

class Morvel2;
class QWidget;

// "Aperçu": the pupil's page for an exercise, drawn by the pupil's own
// window in its preview mode, with this machine's page setting and the
// reading settings of a pupil. It may be closed at any time and closes
// itself at the end, writing no record and leaving the clipboard alone;
// `owner` going away takes it away.
Morvel2 *openPreview(const Exercise &exercise, const ReadingSettings &reading, const PageSetting &page,
                     QWidget *owner);

// The page setting the pupils' program reads on this machine.
PageSetting machinePageSetting();

// Reading settings to preview a page with, until pupils' own are at hand:
// the design's first, then a few a teacher commonly sets.
QList<std::pair<QString, ReadingSettings>> previewReadingChoices();
