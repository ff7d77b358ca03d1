#include "adaptations/adaptationsdraft.h"

#include "classroom/wording.h"

#include <algorithm>

AdaptationsDraft::AdaptationsDraft(const ClassAdaptations &current, const QStringList &known)
    : m_ofClass(current.ofClass)
{
    for (const QString &login : current.pupils.keys() + known) {
        if (!loginFault(login).isEmpty())
            continue;
        const std::optional<AdaptationsEntry> entry = current.pupils.value(login).entry;
        // A file that could not be read follows the class until saved again.
        m_pupils.insert(login, entry ? *entry : AdaptationsEntry{true, {}});
    }
}

QStringList AdaptationsDraft::pupils() const
{
    QStringList logins = m_pupils.keys();
    std::sort(logins.begin(), logins.end(), frenchOrder());
    return logins;
}

QString AdaptationsDraft::addPupil(const QString &login, const std::function<bool(const QString &)> &accountKnown)
{
    if (const QString fault = loginFault(login); !fault.isEmpty())
        return fault;
    if (m_pupils.contains(login))
        return {};
    if (accountKnown && !accountKnown(login))
        return QStringLiteral("aucun compte « %1 » n'est connu de cette machine").arg(login);
    m_pupils.insert(login, AdaptationsEntry{true, {}});
    m_changed = true;
    return {};
}

void AdaptationsDraft::choose(const QString &login)
{
    m_chosen = m_pupils.contains(login) ? login : QString();
}

ReadingSettings AdaptationsDraft::settings() const
{
    return ownSettings() ? m_pupils.value(m_chosen).settings : m_ofClass;
}

bool AdaptationsDraft::ownSettings() const
{
    return !choosingClass() && !m_pupils.value(m_chosen).followsClass;
}

void AdaptationsDraft::setOwnSettings(bool own)
{
    if (choosingClass() || own == ownSettings())
        return;
    m_pupils[m_chosen] = AdaptationsEntry{!own, own ? m_ofClass : ReadingSettings{}};
    m_changed = true;
}

void AdaptationsDraft::setSettings(const ReadingSettings &settings)
{
    if (settings == this->settings())
        return;
    if (choosingClass())
        m_ofClass = settings;
    else if (ownSettings())
        m_pupils[m_chosen].settings = settings;
    else
        return;
    m_changed = true;
}
