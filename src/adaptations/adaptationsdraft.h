#pragma once

#include "adaptations/classadaptations.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>

// What the teacher is setting in "Adaptations…", before it is saved: the
// class's settings and each pupil's, one of them (or the class) chosen to
// edit at a time. Plain data, so that the dialog stays a thin view on it.
//
// Every pupil the class knows is kept, with settings of their own or
// following the class's: saving writes a file for each, alike.
class AdaptationsDraft
{
public:
    AdaptationsDraft(const ClassAdaptations &current, const QStringList &known);

    // The pupils, in French order.
    QStringList pupils() const;
    // Adds a pupil by login, following the class; why not, in French
    // (`accountKnown` says whether this machine knows the account).
    QString addPupil(const QString &login, const std::function<bool(const QString &)> &accountKnown);

    // Empty for the class.
    void choose(const QString &login);
    QString chosen() const { return m_chosen; }
    bool choosingClass() const { return m_chosen.isEmpty(); }

    // The chosen one's settings as the page would draw them, and whether a
    // pupil has settings of their own.
    ReadingSettings settings() const;
    bool ownSettings() const;
    // A pupil given settings of their own starts from the class's.
    void setOwnSettings(bool own);
    void setSettings(const ReadingSettings &settings);

    ReadingSettings classSettings() const { return m_ofClass; }
    QMap<QString, AdaptationsEntry> pupilEntries() const { return m_pupils; }
    bool changed() const { return m_changed; }
    void markSaved() { m_changed = false; }

private:
    ReadingSettings m_ofClass;
    QMap<QString, AdaptationsEntry> m_pupils;
    QString m_chosen;
    bool m_changed = false;
};
