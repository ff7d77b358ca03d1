#include "layout/pagesetting.h"

#include <algorithm>

namespace {

std::optional<PageSetting> parse(const QString &written)
{
    const QString value = written.trimmed().toLower();
    if (value == QLatin1String("design"))
        return PageSetting{};
    if (value == QLatin1String("fit"))
        return PageSetting{PageSetting::Kind::Fit, 100};
    QString digits = value;
    if (digits.endsWith(u'%'))
        digits = digits.chopped(1).trimmed();
    if (digits.isEmpty() || digits.size() > 3
        || !std::all_of(digits.cbegin(), digits.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int percent = digits.toInt();
    if (percent < minPagePercent || percent > maxPagePercent)
        return std::nullopt;
    return PageSetting{PageSetting::Kind::Percent, percent};
}

} // namespace

PageSettingRead readPageSetting(const std::optional<QString> &value, const QString &source, const QString &problem)
{
    const QString fallback = QStringLiteral("La page est affichée à sa taille d'origine.");
    if (!problem.isEmpty())
        return {{}, QStringLiteral("Le réglage « page » du groupe [window] : %1 ne peut pas être lu : %2.\n%3")
                        .arg(source, problem, fallback)};
    if (!value)
        return {};
    if (const std::optional<PageSetting> setting = parse(*value))
        return {*setting, {}};
    return {{}, QStringLiteral("Le réglage « page » du groupe [window] dans %1 vaut « %2 » : il doit valoir "
                               "design, fit, ou un pourcentage de %3 à %4.\n%5")
                    .arg(source, *value, QString::number(minPagePercent), QString::number(maxPagePercent),
                         fallback)};
}
