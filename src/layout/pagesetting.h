#pragma once

#include <QString>

#include <optional>

// How large the pupil's page is drawn, set once for a machine by a
// technician: key `page` of group `window`, beside the results log's
// setting. `design` (the default) draws it at the size it was designed at;
// `fit` scales the whole page by one factor until it fills the window's
// width or height; a percentage from 50 to 400 scales it by that much. No
// setting makes the page larger than the window it stands in.
struct PageSetting
{
    enum class Kind { Design, Fit, Percent };
    Kind kind = Kind::Design;
    int percent = 100; // with Kind::Percent

    friend bool operator==(const PageSetting &, const PageSetting &) = default;
};

inline constexpr int minPagePercent = 50;
inline constexpr int maxPagePercent = 400;

// The setting as written (`design`, `fit`, `150`), and where it was found as
// a person reads it; nothing when no source holds it. A value that cannot
// be used gives the design's page and a warning in French for the
// technician, naming the source, as does a source that cannot be read
// (`problem`).
struct PageSettingRead
{
    PageSetting setting;
    QString warning;
};
PageSettingRead readPageSetting(const std::optional<QString> &value, const QString &source,
                                const QString &problem = {});
