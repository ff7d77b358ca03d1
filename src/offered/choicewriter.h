#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The teacher's choice of offered exercises, written by the teacher's
// window: the file offered/offer.h reads, one name a line in the pupils'
// order, written as one piece (never half a choice), readable by all and
// writable by its owner alone.

// The choice file's text for these files.
QByteArray offerChoiceText(const QStringList &files);

// Writes the choice into the folder; empty, or why not in French. A list
// the reader would not take back exactly (a name that is not a file of the
// folder, twice the same, too many) is refused and nothing is written.
QString saveOfferChoice(const QString &folder, const QStringList &files);
