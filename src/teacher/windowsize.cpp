#include "teacher/windowsize.h"

#include <QSettings>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array zoomSteps{0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0};

// The teacher's own settings, never the machine's: a file in their home
// (the registry's current user on Windows).
struct TeacherSettings : QSettings
{
    TeacherSettings()
        : QSettings(QSettings::UserScope, QStringLiteral("morvel2"), QStringLiteral("classe"))
    {
        setFallbacksEnabled(false);
    }
};

} // namespace

QRect initialWindowRect(const QRect &available, const QSize &kept)
{
    const int leastHeight = int(std::ceil(available.height() * 0.8));
    const QSize wanted = kept.isValid() ? kept : QSize(std::max(1000, available.width() * 4 / 5), available.height() * 9 / 10);
    const QSize size(std::min(wanted.width(), available.width()),
                     std::clamp(wanted.height(), leastHeight, available.height()));
    QRect rect(QPoint(), size);
    rect.moveCenter(available.center());
    return rect;
}

double nextZoom(double current, int step)
{
    if (step == 0)
        return 1.0;
    if (step > 0) {
        const auto above = std::find_if(zoomSteps.cbegin(), zoomSteps.cend(), [&](double z) { return z > current + 0.001; });
        return above == zoomSteps.cend() ? zoomSteps.back() : *above;
    }
    const auto below = std::find_if(zoomSteps.crbegin(), zoomSteps.crend(), [&](double z) { return z < current - 0.001; });
    return below == zoomSteps.crend() ? zoomSteps.front() : *below;
}

KeptWindow keptWindow()
{
    const TeacherSettings settings;
    KeptWindow kept;
    kept.size = settings.value(QStringLiteral("fenetre/taille")).toSize();
    kept.maximised = settings.value(QStringLiteral("fenetre/agrandie"), false).toBool();
    kept.zoom = std::clamp(settings.value(QStringLiteral("fenetre/zoom"), 1.0).toDouble(), zoomSteps.front(), zoomSteps.back());
    return kept;
}

void keepWindow(const KeptWindow &kept)
{
    TeacherSettings settings;
    settings.setValue(QStringLiteral("fenetre/taille"), kept.size);
    settings.setValue(QStringLiteral("fenetre/agrandie"), kept.maximised);
    settings.setValue(QStringLiteral("fenetre/zoom"), kept.zoom);
}
