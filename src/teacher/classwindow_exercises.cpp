// The exercise the window shows: chosen above the tables among those the
// class has attempts at, the one with the latest attempt first; each
// reading refills the choice and keeps the exercise shown.
#include "teacher/classwindow.h"

#include "classroom/missedmost.h"
#include "classroom/reportcells.h"
#include "teacher/ideasmodel.h"
#include "teacher/noticesview.h"
#include "teacher/pupilsmodel.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>

namespace {

// The chooser's item for `key`: its parts apart, as no code or label holds.
QString keyData(const ExerciseKey &key)
{
    return key.code + u'\x1f' + key.label + (key.known ? u'+' : u'-');
}

ExerciseKey keyOfData(const QString &data)
{
    const qsizetype apart = data.indexOf(u'\x1f');
    return {data.left(apart), data.mid(apart + 1).chopped(1), data.endsWith(u'+')};
}

} // namespace

QWidget *ClassWindow::buildExerciseChooser()
{
    auto *box = new QWidget;
    auto *layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    m_exercise = new QComboBox;
    m_exercise->setObjectName(QStringLiteral("exercise"));
    m_exercise->setAccessibleName(QStringLiteral("Exercice"));
    m_exercise->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto *label = new QLabel(QStringLiteral("&Exercice :"));
    label->setBuddy(m_exercise);
    layout->addWidget(label);
    layout->addWidget(m_exercise);
    layout->addStretch(1);
    connect(m_exercise, &QComboBox::currentIndexChanged, this, [this] {
        m_whoPicked.reset();
        showExercise();
    });
    return box;
}

void ClassWindow::showResults(const ClassResults &results, const QStringList &problems,
                              const QStringList &exerciseProblems, const QDateTime &readAt, bool stopped)
{
    m_results = results;
    m_noticeSources.problems = problems;
    m_noticeSources.exerciseProblems = exerciseProblems;
    m_noticeSources.ignoredLines = results.ignoredLines();
    m_noticeSources.ignored = m_loader.sources().ignored;
    // The listing keeps only some of the names, and their number.
    m_noticeSources.ignoredCount = m_loader.sources().ignoredCount;
    m_noticeSources.stopped = stopped;
    m_noticeSources.sharedSetting = m_context.sharedSetting;
    m_lastRead = readAt;
    listExercises();
    showExercise();
    if (!m_job.busy()) {
        m_progress->hide();
        m_stop->hide();
    }
    m_resume->setVisible(stopped);
}

void ClassWindow::listExercises()
{
    const QVariant shown = m_exercise->currentData();
    const QSignalBlocker quiet(m_exercise);
    m_exercise->clear();
    for (const ExerciseKey &key : m_results.exercises()) {
        const ClassReport &report = m_results.report(key);
        m_exercise->addItem(QStringLiteral("%1 · %2").arg(exerciseTitle(report),
                                                         rowNoun(report, report.rowsWithAttempt())),
                            keyData(key));
    }
    // The exercise shown stays, even when its file was named since (its
    // code and title the same); the first reading shows the latest one.
    int kept = shown.isValid() ? m_exercise->findData(shown) : -1;
    for (int i = 0; kept < 0 && shown.isValid() && i < m_exercise->count(); ++i)
        if (m_exercise->itemData(i).toString().chopped(1) == shown.toString().chopped(1))
            kept = i;
    m_exercise->setCurrentIndex(kept >= 0 ? kept : 0);
    m_exercise->setEnabled(m_exercise->count() > 1);
}

void ClassWindow::showExercise()
{
    const QVariant key = m_exercise->currentData();
    const ClassReport &shown = key.isValid() ? m_results.report(keyOfData(key.toString())) : m_results.latest();
    // The teacher's order goes on by what it means: by score stays by score,
    // by the third idea by the third idea where there is one.
    const QHeaderView *header = m_pupilsView->horizontalHeader();
    const int column = m_sortedPupils->sortColumn() < 0 ? -1 : header->sortIndicatorSection();
    const Qt::SortOrder order = header->sortIndicatorOrder();
    const PupilsModel::Meaning meaning =
        column < 0 ? PupilsModel::Meaning::Name : m_pupils->meaningOf(column);
    const int idea = column - PupilsModel::Idea1;
    m_pupils->setReport(shown);
    m_ideas->setReport(shown);
    const int sameColumn = m_pupils->columnOf(meaning, idea);
    // A file's attempts are in its order already: sorting hundreds of
    // thousands of rows to that order would stop the window for a while.
    if (shown.rowKind() == ReportRows::Attempts && (column < 0 || meaning == PupilsModel::Meaning::Name)
        && order == Qt::AscendingOrder)
        m_sortedPupils->sort(-1);
    else if (column >= 0 && sameColumn != column)
        m_pupilsView->sortByColumn(sameColumn < 0 ? int(PupilsModel::Name) : sameColumn,
                                   sameColumn < 0 ? Qt::AscendingOrder : order);
    // An exercise not known has no ideas to show.
    m_ideasView->parentWidget()->setVisible(shown.known());
    m_missed->setText(missedMostSentence(shown));
    m_notices->setNotices(classNotices(shown, m_noticeSources));
    showWho();
    showReadTime(m_lastRead);
}

void ClassWindow::chooseExerciseFile()
{
    const QStringList files = QFileDialog::getOpenFileNames(
        this, QStringLiteral("Lire les résultats selon un fichier d'exercice"), documentsFolder(),
        QStringLiteral("Exercices (*.txt);;Tous les fichiers (*)"));
    if (files.isEmpty())
        return;
    for (const QString &file : files)
        if (!m_context.exercises.files.contains(file))
            m_context.exercises.files.append(file);
    openPaths(m_context.paths);
}
