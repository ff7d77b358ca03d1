#pragma once

#include "adaptations/classadaptations.h"
#include "classroom/classexport.h"
#include "classroom/classfolder.h"
#include "classroom/classpage.h"
#include "classroom/collectclass.h"
#include "classroom/classreport.h"
#include "classroom/classresults.h"
#include "offered/exerciselookup.h"
#include "teacher/backgroundjob.h"
#include "teacher/classloader.h"

#include <QMainWindow>

#include <optional>

class AdaptationMarks;
class IdeasModel;
class NoticesView;
class PupilsModel;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QTableView;

// What the window opens and how its class reads: the paths, the listing
// rule of this machine, and whether its setting lets pupils share one log.
struct ClassWindowContext
{
    QStringList paths;
    LogNaming naming;
    bool sharedSetting = false; // no %u: a file may mix several pupils
    // The machine's class, when the setting names a log per pupil by its
    // file's name: what "Recueillir…" collects.
    std::optional<PupilLogs> machineClass;
    // Where the exercises the records are read by are found.
    ExerciseLookup exercises = {};
    // Where the pupils' reading adaptations are kept: the machine's setting.
    AdaptationsFolder adaptations = {};
};

// The teacher's Documents folder, or their home when there is none.
QString documentsFolder();

// What "Exporter…" writes: the table on screen, or every attempt at the
// exercise shown; "Exporter pour Moodle…", each pupil's best scores.
enum class ExportKind { ClassTable, Attempts, Moodle };

// "Résultats de la classe": the teacher's window. It reads the class's logs
// and shows them, live, as tables of pupils and of ideas; it never writes in
// the class folder except when the teacher collects it.
//
// The ClassLoader reads the class off the window's thread and hands over
// its ClassResults; the teacher chooses an exercise above the tables (the
// one with the latest attempt first), whose ClassReport PupilsModel
// (sorted through a proxy) and IdeasModel show; classNotices() says what
// could not be read or counted, in a NoticesView above the tables;
// missedMostSentence() sits over the ideas.
// Exports and the collect run in a BackgroundJob; the printed page
// (classPageHtml) is built from the same report, rows, order and notices.
// Its size, and its zoom for a projector, are kept in the teacher's own
// settings (windowsize.h).
class ClassWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit ClassWindow(ClassWindowContext context, QWidget *parent = nullptr);

    void openPaths(const QStringList &paths);
    ClassLoader &loader() { return m_loader; }
    BackgroundJob &job() { return m_job; }
    QTableView *pupilsView() const { return m_pupilsView; }
    QTableView *ideasView() const { return m_ideasView; }
    NoticesView *noticesView() const { return m_notices; }
    // The exercise shown.
    const ClassReport &report() const;
    // Every exercise's, as last read.
    const ClassResults &results() const { return m_results; }
    QComboBox *exerciseChooser() const { return m_exercise; }
    // The page "Imprimer…" and "Enregistrer en PDF…" print: the rows in the
    // order on screen, the notices shown.
    ClassPage page() const;

    // The work behind the menu's dialogs, once the teacher has answered them.
    void startExport(ExportKind kind, const QString &target);
    void startCollect(const QString &destination);
    void writePdf(const QString &target);

    double zoom() const { return m_zoom; }
    void setZoom(double zoom);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildActions();
    void buildViewActions();
    void placeOnScreen();
    QWidget *buildExerciseChooser();
    QWidget *buildPupils();
    QWidget *buildIdeas();
    void buildStatus();
    void showResults(const ClassResults &results, const QStringList &problems, const QStringList &exerciseProblems,
                     const QDateTime &readAt, bool stopped);
    // Fills the chooser from the results, keeping the exercise shown.
    void listExercises();
    // Shows the exercise the chooser names, its tables sorted as before.
    void showExercise();
    void chooseExerciseFile();
    void showReadTime(const QDateTime &readAt);
    void showProgress(qint64 done, qint64 total, bool ofJob);
    void showJob(bool running);
    void pickWho(const QModelIndex &index);
    void showWho();
    void openPupil(const QModelIndex &index);
    void chooseAndOpen();
    void chooseFileAndOpen();
    void chooseExport(ExportKind kind);
    void exported(const QString &target, const ExportOutcome &outcome, qsizetype unknownLeftOut = 0);
    QString moodleRefusal() const;
    void print();
    void savePdf();
    void collect();
    void collected(const ClassCollectOutcome &outcome, const QString &classFolder, const QString &destination);
    void showHelp();
    void editAdaptations();
    void readAdaptations();
    void followAdaptations();
    void showExercises();
    void tell(const QString &text);
    QString shownName() const;
    QList<qsizetype> rowsOnScreen() const;

    ClassWindowContext m_context;
    ClassLoader m_loader;
    BackgroundJob m_job;
    PupilsModel *m_pupils;
    AdaptationMarks *m_adaptationMarks;
    QSortFilterProxyModel *m_sortedPupils;
    IdeasModel *m_ideas;
    QTableView *m_pupilsView = nullptr;
    QTableView *m_ideasView = nullptr;
    QLabel *m_opened = nullptr;
    NoticesView *m_notices = nullptr;
    NoticesView *m_adaptationNotices = nullptr;
    ClassAdaptations m_adaptations; // as last read
    QLabel *m_missed = nullptr;
    QLabel *m_who = nullptr;
    QLabel *m_readAt = nullptr;
    QLabel *m_activity = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_resume = nullptr;
    QMenu *m_exportMenu = nullptr;
    QComboBox *m_exercise = nullptr;
    ClassResults m_results;
    QList<QAction *> m_jobActions; // not while a job runs
    NoticeSources m_noticeSources; // as last read
    // The idea and answer whose pupils the line under the ideas names.
    std::optional<std::pair<int, AnswerChoice>> m_whoPicked;
    // Where the last collect put the class's logs, read with the class
    // folder that goes on being followed.
    QString m_collectedCopy;
    QDateTime m_lastRead;
    bool m_stopped = false;
    double m_zoom = 1.0;
    bool m_placed = false;
};
