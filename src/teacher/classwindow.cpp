#include "teacher/classwindow.h"

#include "classroom/wording.h"
#include "paths/paths.h"
#include "teacher/attemptsdialog.h"
#include "teacher/ideasmodel.h"
#include "teacher/pupilsmodel.h"
#include "teacher/spreaddelegate.h"

#include <QAction>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

ClassWindow::ClassWindow(ClassWindowContext context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(std::move(context))
    , m_pupils(new PupilsModel(this))
    , m_sortedPupils(new QSortFilterProxyModel(this))
    , m_ideas(new IdeasModel(this))
{
    setWindowTitle(QStringLiteral("Résultats de la classe"));
    setAcceptDrops(true);
    buildActions();
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    m_opened = new QLabel;
    m_opened->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_notice = new QLabel;
    m_notice->setWordWrap(true);
    m_notice->setStyleSheet(QStringLiteral("QLabel { color: #8a4b00; }"));
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(buildPupils());
    splitter->addWidget(buildIdeas());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(m_opened);
    layout->addWidget(m_notice);
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
    buildStatus();
    connect(&m_loader, &ClassLoader::loaded, this, &ClassWindow::showReport);
    connect(&m_loader, &ClassLoader::unchanged, this, &ClassWindow::showReadTime);
    connect(&m_loader, &ClassLoader::progressed, this, &ClassWindow::showProgress);
    resize(1000, 720);
    openPaths(m_context.paths);
}

const ClassReport &ClassWindow::report() const
{
    return m_pupils->report();
}

void ClassWindow::buildActions()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&Fichier"));
    QToolBar *tools = addToolBar(QStringLiteral("Actions"));
    tools->setToolButtonStyle(Qt::ToolButtonTextOnly);
    tools->setMovable(false);
    const auto add = [&](const QString &text, const QKeySequence &keys, void (ClassWindow::*slot)()) {
        QAction *action = file->addAction(text, this, slot);
        action->setShortcut(keys);
        tools->addAction(action);
        return action;
    };
    add(QStringLiteral("&Ouvrir…"), QKeySequence::Open, &ClassWindow::chooseAndOpen);
    file->addAction(QStringLiteral("Ouvrir un &fichier…"), this, &ClassWindow::chooseFileAndOpen);
    add(QStringLiteral("&Recueillir…"), {}, &ClassWindow::collect);
    add(QStringLiteral("&Exporter…"), QKeySequence(Qt::CTRL | Qt::Key_E), &ClassWindow::exportCsv);
    add(QStringLiteral("&Imprimer…"), QKeySequence::Print, &ClassWindow::print);
    add(QStringLiteral("Enregistrer en &PDF…"), {}, &ClassWindow::savePdf);
    file->addSeparator();
    file->addAction(QStringLiteral("&Quitter"), QKeySequence::Quit, this, &QWidget::close);
    QMenu *help = menuBar()->addMenu(QStringLiteral("&Aide"));
    QAction *guide = help->addAction(QStringLiteral("&Aide"), this, &ClassWindow::showHelp);
    guide->setShortcut(QKeySequence::HelpContents);
    tools->addAction(guide);
}

QWidget *ClassWindow::buildPupils()
{
    m_sortedPupils->setSourceModel(m_pupils);
    m_sortedPupils->setSortRole(PupilsModel::SortRole);
    m_pupilsView = new QTableView;
    m_pupilsView->setObjectName(QStringLiteral("pupils"));
    m_pupilsView->setAccessibleName(QStringLiteral("Élèves"));
    m_pupilsView->setModel(m_sortedPupils);
    m_pupilsView->setSortingEnabled(true);
    m_pupilsView->sortByColumn(PupilsModel::Name, Qt::AscendingOrder);
    m_pupilsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pupilsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pupilsView->setAlternatingRowColors(true);
    m_pupilsView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pupilsView->horizontalHeader()->setStretchLastSection(true);
    m_pupilsView->verticalHeader()->hide();
    connect(m_pupilsView, &QTableView::activated, this, &ClassWindow::openPupil);
    return m_pupilsView;
}

QWidget *ClassWindow::buildIdeas()
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_missed = new QLabel;
    m_missed->setWordWrap(true);
    QFont bold = m_missed->font();
    bold.setBold(true);
    m_missed->setFont(bold);
    m_ideasView = new QTableView;
    m_ideasView->setObjectName(QStringLiteral("ideas"));
    m_ideasView->setAccessibleName(QStringLiteral("Idées"));
    m_ideasView->setModel(m_ideas);
    m_ideasView->setItemDelegate(new SpreadDelegate(m_ideasView));
    m_ideasView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ideasView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_ideasView->horizontalHeader()->setMinimumSectionSize(64);
    m_ideasView->verticalHeader()->hide();
    m_who = new QLabel(QStringLiteral("Cliquer sur un nombre montre qui a donné cette réponse."));
    m_who->setWordWrap(true);
    m_who->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(m_ideasView, &QTableView::clicked, this, &ClassWindow::showWho);
    connect(m_ideasView, &QTableView::activated, this, &ClassWindow::showWho);
    layout->addWidget(m_missed);
    layout->addWidget(m_ideasView, 1);
    layout->addWidget(m_who);
    return box;
}

void ClassWindow::buildStatus()
{
    m_readAt = new QLabel;
    m_progress = new QProgressBar;
    m_progress->setMaximumWidth(240);
    m_progress->setAccessibleName(QStringLiteral("Lecture des résultats"));
    m_stop = new QPushButton(QStringLiteral("Annuler"));
    connect(m_stop, &QPushButton::clicked, this, [this] { m_loader.stop(); });
    statusBar()->addWidget(m_readAt, 1);
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_stop);
    m_progress->hide();
    m_stop->hide();
}

QString ClassWindow::shownName() const
{
    QStringList names;
    for (const QString &path : m_context.paths)
        names.append(printableName(QDir::toNativeSeparators(path)));
    return names.join(QStringLiteral(", "));
}

void ClassWindow::openPaths(const QStringList &paths)
{
    m_context.paths = paths;
    setWindowTitle(QStringLiteral("Résultats de la classe – %1").arg(shownName()));
    m_opened->setText(QStringLiteral("Ouvert : %1").arg(shownName()));
    m_readAt->setText(QStringLiteral("Lecture…"));
    m_who->setText(QStringLiteral("Cliquer sur un nombre montre qui a donné cette réponse."));
    m_loader.open(paths, m_context.naming);
}

void ClassWindow::showReport(const ClassReport &report, const QStringList &problems, const QDateTime &readAt,
                             bool stopped)
{
    // A file's attempts are in its order already: sorting hundreds of
    // thousands of rows to that order would stop the window for a while.
    const QHeaderView *header = m_pupilsView->horizontalHeader();
    if (report.rowKind() == ReportRows::Attempts && header->sortIndicatorSection() == PupilsModel::Name
        && header->sortIndicatorOrder() == Qt::AscendingOrder)
        m_sortedPupils->sort(-1);
    m_pupils->setReport(report);
    m_ideas->setReport(report);
    m_missed->setText(missedMostSentence(report));
    QStringList notices;
    if (report.rowKind() == ReportRows::Attempts)
        notices.append(m_context.sharedSetting || report.attempts() > 0
                           ? QStringLiteral("Ce fichier peut mêler plusieurs élèves : chaque ligne est un essai, "
                                            "dans l'ordre du fichier.")
                           : QString());
    if (report.anyOwnerUnverified())
        notices.append(QStringLiteral("Sur ce partage, le propriétaire des fichiers n'est pas visible : les lignes "
                                      "marquées « %1 » peuvent venir d'un autre élève.")
                           .arg(QString::fromUtf8(ownerUnverifiedNote)));
    if (report.attempts() == 0 && problems.isEmpty())
        notices.append(QStringLiteral("Aucun résultat de cet exercice pour l'instant : chaque essai apparaîtra ici "
                                      "dès qu'il sera enregistré."));
    if (report.ignoredLines() > 0)
        notices.append(QStringLiteral("%1 : ni un résultat de cet exercice, ni un résultat entier (une ligne "
                                      "modifiée à la main, un autre exercice) ; elles ne comptent pas.")
                           .arg(plural(report.ignoredLines(), QStringLiteral("ligne ignorée"),
                                       QStringLiteral("lignes ignorées"))));
    if (stopped)
        notices.append(QStringLiteral("Lecture interrompue : seule une partie des résultats est montrée."));
    for (const QString &ignored : m_loader.sources().ignored)
        notices.append(QStringLiteral("ignoré : %1").arg(ignored));
    notices += problems;
    notices.removeAll(QString());
    m_notice->setText(notices.join(u'\n'));
    m_notice->setVisible(!notices.isEmpty());
    m_problems = problems;
    m_progress->hide();
    m_stop->hide();
    showReadTime(readAt);
}

void ClassWindow::showReadTime(const QDateTime &readAt)
{
    m_lastRead = readAt;
    const ClassReport &shown = report();
    const QString who = shown.rowKind() == ReportRows::Attempts
                            ? rowNoun(shown, shown.attempts())
                            : QStringLiteral("%1 avec un essai").arg(rowNoun(shown, shown.rowsWithAttempt()));
    m_readAt->setText(QStringLiteral("Lu à %1 · %2").arg(readAt.toString(QStringLiteral("HH:mm:ss")), who));
}

void ClassWindow::showProgress(qint64 done, qint64 total)
{
    // A bar only for readings long enough to watch.
    if (total < 8 * 1024 * 1024)
        return;
    m_progress->setRange(0, 1000);
    m_progress->setValue(int(done * 1000 / std::max<qint64>(1, total)));
    m_progress->show();
    m_stop->show();
}

void ClassWindow::showWho(const QModelIndex &index)
{
    const std::optional<AnswerChoice> choice = IdeasModel::choiceAt(index);
    if (!choice)
        return;
    const QStringList names = report().whoChose(index.row(), *choice);
    const QString answer = *choice == AnswerChoice::Blank ? QStringLiteral("laissé sans réponse")
                                                          : QStringLiteral("répondu %1").arg(choiceName(*choice));
    m_who->setText(names.isEmpty()
                       ? QStringLiteral("Idée %1 : personne n'a %2.").arg(index.row() + 1).arg(answer)
                       : QStringLiteral("Idée %1, %2 : %3.")
                             .arg(index.row() + 1)
                             .arg(QStringLiteral("%1 %2 %3")
                                      .arg(rowNoun(report(), names.size()),
                                           names.size() > 1 ? QStringLiteral("ont") : QStringLiteral("a"), answer),
                                  names.join(QStringLiteral(", "))));
}

void ClassWindow::openPupil(const QModelIndex &index)
{
    const qsizetype row = m_pupils->reportRow(m_sortedPupils->mapToSource(index).row());
    if (row < 0)
        return;
    auto *dialog = new AttemptsDialog(report(), row, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void ClassWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void ClassWindow::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        openPaths(paths);
    }
}
