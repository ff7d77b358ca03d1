// The window's long tasks, exports and the collect: each runs off the
// window's thread in its BackgroundJob, with the progress line and
// "Annuler", and says how it ended.
#include "teacher/classwindow.h"

#include "classroom/collectfolder.h"
#include "classroom/moodleexport.h"
#include "classroom/wording.h"
#include "paths/paths.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>

namespace {

// A list for a box: a folder a classmate filled must not make it taller than the screen.
QString fewLines(const QStringList &lines)
{
    constexpr qsizetype shown = 12;
    QString text = lines.first(std::min(lines.size(), shown)).join(u'\n');
    if (lines.size() > shown)
        text += QStringLiteral("\n… et %1").arg(plural(lines.size() - shown, QStringLiteral("autre"), QStringLiteral("autres")));
    return text;
}

} // namespace

void ClassWindow::chooseExport(ExportKind kind)
{
    if (kind == ExportKind::Moodle && !moodleRefusal().isEmpty()) {
        tell(moodleRefusal());
        return;
    }
    const bool table = kind == ExportKind::ClassTable;
    const QString title = kind == ExportKind::Moodle ? QStringLiteral("Exporter pour Moodle")
                          : table                    ? QStringLiteral("Exporter le tableau de la classe")
                                                     : QStringLiteral("Exporter tous les essais");
    const QString name = kind == ExportKind::Moodle ? QStringLiteral("/moodle.csv")
                         : table                    ? QStringLiteral("/tableau.csv")
                                                    : QStringLiteral("/essais.csv");
    const QString target = QFileDialog::getSaveFileName(
        this, title, documentsFolder() + name,
        kind == ExportKind::Moodle ? QStringLiteral("Moodle, séparateur virgule (*.csv)")
                                   : QStringLiteral("Tableur, séparateur point-virgule (*.csv)"));
    if (!target.isEmpty())
        startExport(kind, target);
}

void ClassWindow::startExport(ExportKind kind, const QString &target)
{
    auto outcome = std::make_shared<ExportOutcome>();
    const std::filesystem::path file = localPath(target);
    std::function<void(const BackgroundJob::Progress &)> work;
    if (kind == ExportKind::Moodle) {
        if (const QString refused = moodleRefusal(); !refused.isEmpty()) {
            tell(refused);
            return;
        }
        work = [outcome, file, results = m_results](const BackgroundJob::Progress &) {
            *outcome = exportMoodle(results, file);
        };
    } else if (kind == ExportKind::ClassTable) {
        // What is on screen now, the rows in their order; the report's
        // lists are shared, not copied, with the thread.
        work = [outcome, file, report = report(), order = rowsOnScreen()](const BackgroundJob::Progress &progress) {
            *outcome = exportClassTable(report, order, file, progress);
        };
    } else {
        work = [outcome, file, sources = m_loader.sources(), known = m_results.known(),
                key = report().key()](const BackgroundJob::Progress &progress) {
            *outcome = exportClassCsv(sources, file, progress, known, key);
        };
    }
    // What the file leaves out, said once it is written.
    const qsizetype unknown = kind == ExportKind::Moodle
                                  ? m_results.exercises().size() - moodleExercises(m_results).size()
                                  : 0;
    m_job.start(QStringLiteral("Export…"), std::move(work), [this, outcome, target, unknown] {
        exported(target, *outcome, unknown);
    });
}

// Why the class cannot go to Moodle, or nothing.
QString ClassWindow::moodleRefusal() const
{
    if (m_results.rowKind() == ReportRows::Attempts)
        return QStringLiteral("Ce fichier peut mêler plusieurs élèves : il ne dit pas à qui donner chaque note. "
                              "L'export pour Moodle demande un dossier de classe, un fichier par élève.");
    if (moodleExercises(m_results).isEmpty())
        return QStringLiteral("Aucun résultat d'un exercice connu pour l'instant : il n'y a pas de note à exporter.");
    return {};
}

void ClassWindow::exported(const QString &target, const ExportOutcome &outcome, qsizetype unknownLeftOut)
{
    const QString shown = printableName(QDir::toNativeSeparators(target));
    if (outcome.stopped) {
        statusBar()->showMessage(QStringLiteral("Export annulé : rien n'a été écrit."), 8000);
    } else if (!outcome.failure.isEmpty()) {
        tell(QStringLiteral("Impossible d'écrire %1 : %2").arg(shown, outcome.failure));
    } else if (!outcome.unread.isEmpty()) {
        tell(QStringLiteral("Exporté dans %1, sans ces fichiers, qui n'ont pas pu être lus :\n%2")
                 .arg(shown, fewLines(outcome.unread)));
    } else if (unknownLeftOut > 0) {
        tell(QStringLiteral("Exporté dans %1, sans %2 : ce qu'un score y vaut n'est pas connu.")
                 .arg(shown, plural(unknownLeftOut, QStringLiteral("exercice inconnu"),
                                    QStringLiteral("exercices inconnus"))));
    } else {
        statusBar()->showMessage(QStringLiteral("Exporté dans %1").arg(shown), 8000);
    }
}

void ClassWindow::collect()
{
    if (!m_context.machineClass) {
        tell(QStringLiteral("Ce poste ne range pas les résultats dans un fichier par élève : il n'y a pas de "
                            "dossier de classe à recueillir."));
        return;
    }
    const PupilLogs &logs = *m_context.machineClass;
    const QString className = displayPath(logs.folder.filename());
    const QDir documents(documentsFolder());
    const QString name = collectFolderName(className, QDateTime::currentDateTime(),
                                           [&](const QString &candidate) { return documents.exists(candidate); });
    const QString destination = documents.filePath(name);
    QMessageBox ask(QMessageBox::Question, QStringLiteral("Recueillir les résultats"),
                    QStringLiteral("Déplacer les résultats de la classe %1 dans %2 ?\nLes élèves recommencent "
                                   "ensuite un nouveau fichier.")
                        .arg(printableName(displayPath(logs.folder)), QDir::toNativeSeparators(destination)),
                    QMessageBox::NoButton, this);
    ask.setTextFormat(Qt::PlainText);
    QPushButton *yes = ask.addButton(QStringLiteral("Recueillir"), QMessageBox::AcceptRole);
    // Qt's own "Annuler", in the language its translations give it.
    ask.addButton(QMessageBox::Cancel);
    ask.exec();
    if (ask.clickedButton() == yes)
        startCollect(destination);
}

void ClassWindow::startCollect(const QString &destination)
{
    if (!m_context.machineClass)
        return;
    const PupilLogs logs = *m_context.machineClass;
    const QString classFolder = displayPath(logs.folder);
    auto outcome = std::make_shared<ClassCollectOutcome>();
    m_job.start(
        QStringLiteral("Recueil…"),
        [outcome, logs, to = localPath(destination)](const BackgroundJob::Progress &progress) {
            *outcome = collectClass(logs, to, progress);
        },
        [this, outcome, classFolder, destination] { collected(*outcome, classFolder, destination); });
}

// The window then follows the class folder, where pupils go on finishing,
// and shows what was collected with it.
void ClassWindow::collected(const ClassCollectOutcome &outcome, const QString &classFolder,
                            const QString &destination)
{
    if (!outcome.failure.isEmpty()) {
        tell(QStringLiteral("Recueil impossible : %1 ; rien n'a été déplacé.").arg(outcome.failure));
        return;
    }
    QString said = QStringLiteral("%1, %2 recueillis dans %3.")
                       .arg(plural(outcome.pupils, QStringLiteral("élève"), QStringLiteral("élèves")),
                            plural(outcome.records, QStringLiteral("résultat"), QStringLiteral("résultats")),
                            printableName(QDir::toNativeSeparators(destination)));
    if (outcome.stopped)
        said += QStringLiteral("\n\nRecueil arrêté : %1 en place dans le dossier de la classe.")
                    .arg(plural(outcome.notReached, QStringLiteral("fichier reste"), QStringLiteral("fichiers restent")));
    if (!outcome.leftAlone.isEmpty())
        said += QStringLiteral("\n\nLaissés en place :\n") + fewLines(outcome.leftAlone);
    m_collectedCopy = destination;
    openPaths({classFolder, destination});
    tell(said + QStringLiteral("\n\nLa fenêtre montre maintenant ce qui a été recueilli, et les élèves qui "
                               "terminent ensuite."));
}
