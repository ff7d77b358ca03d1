#include "teacher/attemptsdialog.h"

#include "classroom/reportcells.h"
#include "teacher/pupilsmodel.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

ClassReport attemptsOf(const ClassReport &report, qsizetype row)
{
    ClassReport attempts(ReportRows::Attempts, false, report.exercise(), report.known());
    for (const qint32 id : report.row(row).history)
        attempts.addAttempt(report.record(id));
    return attempts;
}

AttemptsDialog::AttemptsDialog(const ClassReport &report, qsizetype row, QWidget *parent)
    : QDialog(parent)
{
    const PupilSummary pupil = report.row(row);
    setWindowTitle(QStringLiteral("Essais de %1").arg(pupil.name));
    auto *model = new PupilsModel(this);
    model->setReport(attemptsOf(report, row));
    auto *view = new QTableView;
    view->setAccessibleName(windowTitle());
    view->setModel(model);
    view->hideColumn(PupilsModel::Attempts);
    view->hideColumn(model->bestColumn());
    view->hideColumn(model->lastChangedColumn());
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->verticalHeader()->hide();
    // Named here: Qt's own French is not installed everywhere (Windows).
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    // The login is the pupil's file's name: plain text, never markup.
    auto *said = new QLabel(QStringLiteral("%1 : %2 à l'exercice %3, dans l'ordre où ils ont été faits.")
                                .arg(pupil.name,
                                     pupil.attempts > 1 ? QStringLiteral("%1 essais").arg(pupil.attempts)
                                                        : QStringLiteral("1 essai"),
                                     exerciseTitle(report)));
    said->setTextFormat(Qt::PlainText);
    said->setWordWrap(true);
    layout->addWidget(said);
    layout->addWidget(view, 1);
    layout->addWidget(buttons);
    resize(640, 360);
}
