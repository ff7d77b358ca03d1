#pragma once

#include "offered/exerciselibrary.h"

#include <QDialog>

class QLabel;
class QListWidget;

// "Proposer aux élèves": the folder's exercises, those offered ticked, in
// the order the pupils see them (offered first); the teacher ticks, moves
// up and down, and saves the choice file as one piece. Offered files the
// pupils cannot have are named with why.
class OfferDialog : public QDialog
{
    Q_OBJECT

public:
    OfferDialog(const ExerciseLibrary &library, const QString &folder, QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    // The files ticked, in their order.
    QStringList chosen() const;
    // What "Enregistrer" does: true once the choice is written.
    bool saveChoice();

signals:
    void choiceSaved();

private:
    void move(int by);

    QString m_folder;
    QListWidget *m_list;
    QLabel *m_status;
};
