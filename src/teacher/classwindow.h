#pragma once

#include "classroom/classfolder.h"
#include "classroom/classreport.h"
#include "teacher/classloader.h"

#include <QMainWindow>

class IdeasModel;
class PupilsModel;
class QLabel;
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

// "Résultats de la classe": the teacher's window. It reads the class's
// logs and shows them, live, as tables of pupils and of ideas; it never
// writes in the class folder except when the teacher collects it.
class ClassWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit ClassWindow(ClassWindowContext context, QWidget *parent = nullptr);

    void openPaths(const QStringList &paths);
    ClassLoader &loader() { return m_loader; }
    QTableView *pupilsView() const { return m_pupilsView; }
    QTableView *ideasView() const { return m_ideasView; }
    const ClassReport &report() const;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildActions();
    QWidget *buildPupils();
    QWidget *buildIdeas();
    void buildStatus();
    void showReport(const ClassReport &report, const QStringList &problems, const QDateTime &readAt, bool stopped);
    void showReadTime(const QDateTime &readAt);
    void showProgress(qint64 done, qint64 total);
    void showWho(const QModelIndex &index);
    void openPupil(const QModelIndex &index);
    void chooseAndOpen();
    void chooseFileAndOpen();
    void exportCsv();
    void print();
    void savePdf();
    void collect();
    void showHelp();
    QString shownName() const;

    ClassWindowContext m_context;
    ClassLoader m_loader;
    PupilsModel *m_pupils;
    QSortFilterProxyModel *m_sortedPupils;
    IdeasModel *m_ideas;
    QTableView *m_pupilsView = nullptr;
    QTableView *m_ideasView = nullptr;
    QLabel *m_opened = nullptr;
    QLabel *m_notice = nullptr;
    QLabel *m_missed = nullptr;
    QLabel *m_who = nullptr;
    QLabel *m_readAt = nullptr;
    QProgressBar *m_progress = nullptr;
    QPushButton *m_stop = nullptr;
    QStringList m_problems;
    QDateTime m_lastRead;
};
