#include "teacher/classwindow.h"

#include "classroom/missedmost.h"
#include "classroom/wording.h"
#include "paths/paths.h"
#include "teacher/adaptationmarks.h"
#include "teacher/attemptsdialog.h"
#include "teacher/ideasmodel.h"
#include "teacher/noticesview.h"
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

namespace {

// A label for what a file or a pupil may name: never read as markup.
QLabel *plainLabel(const QString &text = {})
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

const QString clickHint = QStringLiteral("Cliquer sur un nombre montre qui a donné cette réponse.");

} // namespace

ClassWindow::ClassWindow(ClassWindowContext context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(std::move(context))
    , m_pupils(new PupilsModel(this))
    , m_adaptationMarks(new AdaptationMarks(m_pupils, this))
    , m_sortedPupils(new QSortFilterProxyModel(this))
    , m_ideas(new IdeasModel(this))
{
    setWindowTitle(QStringLiteral("Résultats de la classe"));
    setAcceptDrops(true);
    buildActions();
    buildViewActions();
    auto *central = new QWidget;
    auto *layout = new QVBoxLayout(central);
    m_opened = plainLabel();
    m_notices = new NoticesView;
    m_adaptationNotices = new NoticesView;
    m_adaptationNotices->setObjectName(QStringLiteral("adaptationNotices"));
    auto *splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(buildPupils());
    splitter->addWidget(buildIdeas());
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);
    layout->addWidget(m_opened);
    layout->addWidget(m_notices);
    layout->addWidget(m_adaptationNotices);
    layout->addWidget(buildExerciseChooser());
    layout->addWidget(splitter, 1);
    setCentralWidget(central);
    buildStatus();
    connect(&m_loader, &ClassLoader::loaded, this, &ClassWindow::showResults);
    connect(&m_loader, &ClassLoader::loaded, this, &ClassWindow::followAdaptations);
    connect(&m_loader, &ClassLoader::unchanged, this, &ClassWindow::showReadTime);
    connect(&m_loader, &ClassLoader::progressed, this,
            [this](qint64 done, qint64 total) { showProgress(done, total, false); });
    connect(&m_job, &BackgroundJob::started, this, [this] { showJob(true); });
    connect(&m_job, &BackgroundJob::ended, this, [this] { showJob(false); });
    connect(&m_job, &BackgroundJob::progressed, this,
            [this](qint64 done, qint64 total) { showProgress(done, total, true); });
    placeOnScreen();
    openPaths(m_context.paths);
    readAdaptations();
}

const ClassReport &ClassWindow::report() const
{
    return m_pupils->report();
}

QWidget *ClassWindow::buildPupils()
{
    m_sortedPupils->setSourceModel(m_adaptationMarks);
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
    // Each column as wide as what it holds, however wide the window: the
    // last one does not take the rest.
    m_pupilsView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_pupilsView->horizontalHeader()->setStretchLastSection(false);
    m_pupilsView->verticalHeader()->hide();
    connect(m_pupilsView, &QTableView::activated, this, &ClassWindow::openPupil);
    return m_pupilsView;
}

QWidget *ClassWindow::buildIdeas()
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_missed = plainLabel();
    m_missed->setObjectName(QStringLiteral("missed"));
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
    m_who = plainLabel(clickHint);
    m_who->setObjectName(QStringLiteral("who"));
    connect(m_ideasView, &QTableView::clicked, this, &ClassWindow::pickWho);
    connect(m_ideasView, &QTableView::activated, this, &ClassWindow::pickWho);
    layout->addWidget(m_missed);
    layout->addWidget(m_ideasView, 1);
    layout->addWidget(m_who);
    return box;
}

void ClassWindow::buildStatus()
{
    m_readAt = plainLabel();
    m_readAt->setWordWrap(false);
    m_activity = plainLabel();
    m_activity->setWordWrap(false);
    m_progress = new QProgressBar;
    m_progress->setMaximumWidth(240);
    m_progress->setAccessibleName(QStringLiteral("Lecture des résultats"));
    m_stop = new QPushButton(QStringLiteral("Annuler"));
    connect(m_stop, &QPushButton::clicked, this, [this] {
        if (m_job.busy())
            m_job.cancel();
        else
            m_loader.stop();
    });
    // A reading the teacher stopped stays stopped until asked to go on.
    m_resume = new QPushButton(QStringLiteral("Reprendre la lecture"));
    connect(m_resume, &QPushButton::clicked, this, [this] {
        m_resume->hide();
        m_loader.resume();
    });
    statusBar()->addWidget(m_readAt, 1);
    statusBar()->addPermanentWidget(m_activity);
    statusBar()->addPermanentWidget(m_progress);
    statusBar()->addPermanentWidget(m_stop);
    statusBar()->addPermanentWidget(m_resume);
    m_resume->hide();
    m_activity->hide();
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
    if (!paths.contains(m_collectedCopy))
        m_collectedCopy.clear();
    setWindowTitle(QStringLiteral("Résultats de la classe – %1").arg(shownName()));
    if (m_collectedCopy.isEmpty()) {
        m_opened->setText(QStringLiteral("Ouvert : %1").arg(shownName()));
    } else {
        QStringList followed = paths;
        followed.removeAll(m_collectedCopy);
        QStringList shown;
        for (const QString &path : std::as_const(followed))
            shown.append(printableName(QDir::toNativeSeparators(path)));
        m_opened->setText(QStringLiteral("Ouvert : %1, suivi en direct, avec ce qui en a été recueilli dans %2")
                              .arg(shown.join(QStringLiteral(", ")),
                                   printableName(QDir::toNativeSeparators(m_collectedCopy))));
    }
    m_readAt->setText(QStringLiteral("Lecture…"));
    m_whoPicked.reset();
    m_loader.open(paths, m_context.naming, m_context.exercises);
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

void ClassWindow::showProgress(qint64 done, qint64 total, bool ofJob)
{
    // For the reading, a bar only when it is long enough to watch; a job's
    // bar is there while it runs, and the reading's waits.
    if (m_job.busy() != ofJob || (!ofJob && total < 8 * 1024 * 1024))
        return;
    m_progress->setRange(0, 1000);
    m_progress->setValue(int(done * 1000 / std::max<qint64>(1, total)));
    m_progress->show();
    m_stop->show();
}

void ClassWindow::showJob(bool running)
{
    m_activity->setText(running ? m_job.what() : QString());
    m_activity->setVisible(running);
    m_progress->setAccessibleName(running ? m_job.what() : QStringLiteral("Lecture des résultats"));
    m_progress->setRange(0, 0); // busy until the first figures
    m_progress->setVisible(running);
    m_stop->setVisible(running);
    for (QAction *action : std::as_const(m_jobActions))
        action->setEnabled(!running);
}

void ClassWindow::pickWho(const QModelIndex &index)
{
    if (const std::optional<AnswerChoice> choice = IdeasModel::choiceAt(index)) {
        m_whoPicked = std::pair(index.row(), *choice);
        showWho();
    }
}

// The line under the ideas, said again with each reading: the pupils who
// gave the answer picked, or how to pick one while there is something to count.
void ClassWindow::showWho()
{
    const int rows = report().rowsWithAttempt();
    m_who->setVisible(rows > 0);
    if (!m_whoPicked || rows == 0) {
        m_who->setText(clickHint);
        return;
    }
    const auto [idea, choice] = *m_whoPicked;
    const QStringList names = report().whoChose(idea, choice);
    const QString answer = choice == AnswerChoice::Blank ? QStringLiteral("laissé sans réponse")
                                                         : QStringLiteral("répondu %1").arg(choiceName(choice));
    m_who->setText(names.isEmpty()
                       ? QStringLiteral("Idée %1 : personne n'a %2.").arg(idea + 1).arg(answer)
                       : QStringLiteral("Idée %1, %2 %3 %4 : %5.")
                             .arg(idea + 1)
                             .arg(rowNoun(report(), names.size()),
                                  names.size() > 1 ? QStringLiteral("ont") : QStringLiteral("a"), answer,
                                  names.join(QStringLiteral(", "))));
}

void ClassWindow::openPupil(const QModelIndex &index)
{
    const qsizetype row = m_pupils->reportRow(m_sortedPupils->mapToSource(index).row());
    if (row < 0)
        return;
    auto *dialog = new AttemptsDialog(report(), row, this);
    dialog->setFont(font());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

QList<qsizetype> ClassWindow::rowsOnScreen() const
{
    QList<qsizetype> rows;
    rows.reserve(m_sortedPupils->rowCount());
    for (int row = 0; row < m_sortedPupils->rowCount(); ++row)
        rows.append(m_pupils->reportRow(m_sortedPupils->mapToSource(m_sortedPupils->index(row, 0)).row()));
    return rows;
}

ClassPage ClassWindow::page() const
{
    const QHeaderView *header = m_pupilsView->horizontalHeader();
    NoticeSources onPaper = m_noticeSources;
    onPaper.live = false;
    return {m_opened->text(), m_lastRead, rowsOnScreen(),
            sortedByText(*m_pupils, m_sortedPupils->sortColumn() < 0 ? -1 : header->sortIndicatorSection(),
                         header->sortIndicatorOrder()),
            classNotices(report(), onPaper)};
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
