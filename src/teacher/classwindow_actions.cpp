// What the teacher starts from the window's menu: open, export, print,
// collect, help. Each asks the teacher first through the system's dialogs.
#include "teacher/classwindow.h"

#include "classroom/classexport.h"
#include "classroom/classpage.h"
#include "classroom/collectclass.h"
#include "classroom/collectfolder.h"
#include "classroom/wording.h"
#include "paths/paths.h"
#include "teacher/helpdialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTextDocument>

namespace {

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

void setUpPage(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

} // namespace

void ClassWindow::chooseAndOpen()
{
    // A folder is what a class is; a single log opens with "Ouvrir un fichier…".
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Ouvrir le dossier d'une classe"),
                                                             m_context.paths.value(0));
    if (!folder.isEmpty())
        openPaths({folder});
}

void ClassWindow::chooseFileAndOpen()
{
    const QString file = QFileDialog::getOpenFileName(this, QStringLiteral("Ouvrir un fichier de résultats"),
                                                      m_context.paths.value(0),
                                                      QStringLiteral("Fichiers de résultats (*.txt *.log);;Tous les fichiers (*)"));
    if (!file.isEmpty())
        openPaths({file});
}

void ClassWindow::exportCsv()
{
    const QString target = QFileDialog::getSaveFileName(
        this, QStringLiteral("Exporter pour un tableur"), documentsFolder() + QStringLiteral("/bilan.csv"),
        QStringLiteral("Tableur, séparateur point-virgule (*.csv)"));
    if (target.isEmpty())
        return;
    if (const QString failure = exportClassCsv(m_loader.sources(), localPath(target)); !failure.isEmpty())
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Impossible d'écrire %1 : %2")
                                                      .arg(QDir::toNativeSeparators(target), failure));
    else
        statusBar()->showMessage(QStringLiteral("Exporté dans %1").arg(QDir::toNativeSeparators(target)), 8000);
}

void ClassWindow::print()
{
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument page;
    page.setHtml(classPageHtml(report(), shownName(), m_lastRead));
    page.print(&printer);
}

void ClassWindow::savePdf()
{
    const QString target = QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer en PDF"),
                                                        documentsFolder() + QStringLiteral("/bilan.pdf"),
                                                        QStringLiteral("PDF (*.pdf)"));
    if (target.isEmpty())
        return;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target);
    setUpPage(printer);
    QTextDocument page;
    page.setHtml(classPageHtml(report(), shownName(), m_lastRead));
    page.print(&printer);
    // A class's answers are the teacher's business alone, as the spreadsheet's are.
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    statusBar()->showMessage(QStringLiteral("Enregistré dans %1").arg(QDir::toNativeSeparators(target)), 8000);
}

void ClassWindow::collect()
{
    if (!m_context.machineClass) {
        QMessageBox::information(this, windowTitle(),
                                 QStringLiteral("Ce poste ne range pas les résultats dans un fichier par élève : il "
                                                "n'y a pas de dossier de classe à recueillir."));
        return;
    }
    const PupilLogs &logs = *m_context.machineClass;
    const QString className = displayPath(logs.folder.filename());
    const QDir documents(documentsFolder());
    const QString name = collectFolderName(className, QDateTime::currentDateTime(),
                                           [&](const QString &candidate) { return documents.exists(candidate); });
    const QString destination = documents.filePath(name);
    const auto answer = QMessageBox::question(
        this, QStringLiteral("Recueillir les résultats"),
        QStringLiteral("Déplacer les résultats de la classe %1 dans %2 ?\nLes élèves recommencent ensuite un "
                       "nouveau fichier.")
            .arg(displayPath(logs.folder), QDir::toNativeSeparators(destination)));
    if (answer != QMessageBox::Yes)
        return;
    const ClassCollectOutcome outcome = collectClass(logs, localPath(destination));
    if (!outcome.failure.isEmpty()) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("%1 ; rien n'a été déplacé.").arg(outcome.failure));
        return;
    }
    QString said = QStringLiteral("%1, %2 recueillis dans %3.")
                       .arg(plural(outcome.pupils, QStringLiteral("élève"), QStringLiteral("élèves")),
                            plural(outcome.records, QStringLiteral("résultat"), QStringLiteral("résultats")),
                            QDir::toNativeSeparators(destination));
    if (!outcome.leftAlone.isEmpty())
        said += QStringLiteral("\n\nLaissés en place :\n") + outcome.leftAlone.join(u'\n');
    QMessageBox::information(this, windowTitle(), said + QStringLiteral("\n\nLa fenêtre montre maintenant ce relevé."));
    openPaths({destination});
}

void ClassWindow::showHelp()
{
    auto *help = new HelpDialog(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
}
