#include "teacher/offerdialog.h"

#include "offered/choicewriter.h"
#include "teacher/faultlabel.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QListWidgetItem *itemFor(const LibraryEntry &entry)
{
    const QString title = entry.exercise ? QStringLiteral("%1 – %2 (%3)").arg(entry.exercise->code,
                                                                             entry.exercise->label, entry.file)
                                         : entry.file;
    auto *item = new QListWidgetItem(entry.problem.isEmpty()
                                         ? title
                                         : title + QStringLiteral("\n    les élèves ne l'ont pas : ")
                                               + entry.problem.section(u'\n', 0, 0));
    item->setData(Qt::UserRole, entry.file);
    item->setToolTip(entry.problem);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(entry.offered ? Qt::Checked : Qt::Unchecked);
    return item;
}

} // namespace

OfferDialog::OfferDialog(const ExerciseLibrary &library, const QString &folder, QWidget *parent)
    : QDialog(parent)
    , m_folder(folder)
    , m_list(new QListWidget)
    , m_status(faultLabel())
{
    setWindowTitle(QStringLiteral("Proposer aux élèves"));
    auto *intro = new QLabel(QStringLiteral("Cochez les exercices que les élèves trouvent en ouvrant morvel2, dans "
                                            "l'ordre où ils les voient. Un seul : il s'ouvre directement. Plusieurs : "
                                            "l'élève choisit. Aucun : l'exercice livré avec le programme."));
    intro->setWordWrap(true);
    QLabel *problem = faultLabel();
    if (!library.problem.isEmpty())
        showFaults(problem, {library.problem + QStringLiteral("\nEnregistrer un nouveau choix le remplace")});
    m_list->setObjectName(QStringLiteral("offered"));
    m_list->setAccessibleName(QStringLiteral("Exercices proposés"));
    for (const QString &file : library.offered)
        if (const int index = library.indexOf(file); index >= 0)
            m_list->addItem(itemFor(library.entries[index]));
    for (const LibraryEntry &entry : library.entries)
        if (!entry.offered && entry.exercise)
            m_list->addItem(itemFor(entry));
    auto *up = new QPushButton(QStringLiteral("&Monter"));
    auto *down = new QPushButton(QStringLiteral("&Descendre"));
    connect(up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { move(1); });
    auto *order = new QHBoxLayout;
    order->addWidget(up);
    order->addWidget(down);
    order->addStretch(1);
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("&Enregistrer le choix"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (saveChoice())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(problem);
    layout->addWidget(m_list, 1);
    layout->addLayout(order);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 480);
}

QStringList OfferDialog::chosen() const
{
    QStringList files;
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->checkState() == Qt::Checked)
            files.append(m_list->item(row)->data(Qt::UserRole).toString());
    return files;
}

void OfferDialog::move(int by)
{
    const int row = m_list->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= m_list->count())
        return;
    QListWidgetItem *item = m_list->takeItem(row);
    m_list->insertItem(to, item);
    m_list->setCurrentRow(to);
}

bool OfferDialog::saveChoice()
{
    const QString failure = saveOfferChoice(m_folder, chosen());
    showFaults(m_status, failure.isEmpty() ? QStringList() : QStringList{failure});
    if (failure.isEmpty())
        emit choiceSaved();
    return failure.isEmpty();
}
