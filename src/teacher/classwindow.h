#pragma once

#include "classroom/classexport.h"
#include "classroom/classfolder.h"
#include "classroom/classpage.h"
#include "classroom/collectclass.h"
#include "classroom/classreport.h"
#include "teacher/backgroundjob.h"
#include "teacher/classloader.h"

#include <QMainWindow>

#include <optional>

class IdeasModel;
class NoticesView;
class PupilsModel;
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
};

// The teacher's Documents folder, or their home when there is none.
QString documentsFolder();

// What "Exporter…" writes: the table on screen, or every attempt.
enum class ExportKind { ClassTable, Attempts };

// "Résultats de la classe": the teacher's window. It reads the class's logs
// and shows them, live, as tables of pupils and of ideas; it never writes in
// the class folder except when the teacher collects it.
//
// The ClassLoader reads the class off the window's thread and hands over a
// ClassReport, which PupilsModel (sorted through a proxy) and IdeasModel
// show; classNotices() says what could not be read or counted, in a
// NoticesView above the tables; missedMostSentence() sits over the ideas.
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
    const ClassReport &report() const;
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
    QWidget *buildPupils();
    QWidget *buildIdeas();
    void buildStatus();
    void showReport(const ClassReport &report, const QStringList &problems, const QDateTime &readAt, bool stopped);
    void showReadTime(const QDateTime &readAt);
    void showProgress(qint64 done, qint64 total, bool ofJob);
    void showJob(bool running);
    void pickWho(const QModelIndex &index);
    void showWho();
    void openPupil(const QModelIndex &index);
    void chooseAndOpen();
    void chooseFileAndOpen();
    void chooseExport(ExportKind kind);
    void exported(const QString &target, const ExportOutcome &outcome);
    void print();
    void savePdf();
    void collect();
    void collected(const ClassCollectOutcome &outcome, const QString &classFolder, const QString &destination);
    void showHelp();
    void showExercises();
    void tell(const QString &text);
    QString shownName() const;
    QList<qsizetype> rowsOnScreen() const;

    ClassWindowContext m_context;
    ClassLoader m_loader;
    BackgroundJob m_job;
    PupilsModel *m_pupils;
    QSortFilterProxyModel *m_sortedPupils;
    IdeasModel *m_ideas;
    QTableView *m_pupilsView = nullptr;
    QTableView *m_ideasView = nullptr;
    QLabel *m_opened = nullptr;
    NoticesView *m_notices = nullptr;
    QLabel *m_missed = nullptr;
    QLabel *m_who = nullptr;
    QLabel *m_readAt = nullptr;
    QLabel *m_activity = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_stop = nullptr;
    QPushButton *m_resume = nullptr;
    QMenu *m_exportMenu = nullptr;
    QList<QAction *> m_jobActions; // not while a job runs
    NoticeSources m_noticeSources; // as last read
    // The idea and answer whose pupils the line under the ideas names.
    std::optional<std::pair<int, AnswerChoice>> m_whoPicked;
    // Where the last collect put the class's logs, read with the class
    // folder that goes on being followed.
    QString m_collectedCopy;
    QDateTime m_lastRead;
    double m_zoom = 1.0;
    bool m_placed = false;
};
