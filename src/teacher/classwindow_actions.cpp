// What the teacher starts from the window's menu: open, print, zoom, help;
// and the window's size, kept for next time. Each asks the teacher first
// through the system's dialogs.
#include "teacher/classwindow.h"

#include "classroom/recordedcodes.h"
#include "teacher/exercisesdialog.h"
#include "teacher/helpdialog.h"
#include "teacher/windowsize.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTableView>
#include <QTextDocument>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

void setUpPage(QPrinter &printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
}

} // namespace

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
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
    m_jobActions.append(add(QStringLiteral("&Recueillir…"), {}, &ClassWindow::collect));
    // Both tables a spreadsheet may want, from one button.
    m_exportMenu = new QMenu(QStringLiteral("&Exporter…"), this);
    m_exportMenu->addAction(QStringLiteral("Le &tableau de la classe, une ligne par élève…"), this,
                            [this] { chooseExport(ExportKind::ClassTable); });
    m_exportMenu->addAction(QStringLiteral("Tous les &essais, une ligne par essai…"), this,
                            [this] { chooseExport(ExportKind::Attempts); });
    QAction *exporting = m_exportMenu->menuAction();
    exporting->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(exporting, &QAction::triggered, this, [this, tools, exporting] {
        QWidget *button = tools->widgetForAction(exporting);
        // Opened from the keyboard, Enter takes the first choice.
        m_exportMenu->popup(button && button->isVisible() ? button->mapToGlobal(QPoint(0, button->height()))
                                                          : QCursor::pos());
        m_exportMenu->setActiveAction(m_exportMenu->actions().constFirst());
    });
    file->addMenu(m_exportMenu);
    tools->addAction(exporting);
    if (auto *button = qobject_cast<QToolButton *>(tools->widgetForAction(exporting)))
        button->setPopupMode(QToolButton::InstantPopup);
    m_jobActions.append(exporting);
    m_jobActions.append(file->addAction(QStringLiteral("Exporter pour &Moodle…"), this,
                                        [this] { chooseExport(ExportKind::Moodle); }));
    file->addAction(QStringLiteral("&Lire selon un fichier d'exercice…"), this, &ClassWindow::chooseExerciseFile);
    add(QStringLiteral("A&daptations…"), {}, &ClassWindow::editAdaptations);
    add(QStringLiteral("&Imprimer…"), QKeySequence::Print, &ClassWindow::print);
    add(QStringLiteral("Enregistrer en &PDF…"), {}, &ClassWindow::savePdf);
    file->addSeparator();
    add(QStringLiteral("E&xercices…"), {}, &ClassWindow::showExercises);
    file->addSeparator();
    file->addAction(QStringLiteral("&Quitter"), QKeySequence::Quit, this, &QWidget::close);
}

void ClassWindow::buildViewActions()
{
    QMenu *view = menuBar()->addMenu(QStringLiteral("&Affichage"));
    const auto add = [&](const QString &text, const QList<QKeySequence> &keys, int step) {
        QAction *action = view->addAction(text, this, [this, step] { setZoom(nextZoom(m_zoom, step)); });
        action->setShortcuts(keys);
        addAction(action); // its keys work with the menu closed
    };
    // Ctrl + as typed on a French keyboard and on the keypad, Ctrl = too.
    add(QStringLiteral("&Agrandir"), {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Equal)}, 1);
    add(QStringLiteral("&Réduire"), {QKeySequence::ZoomOut}, -1);
    add(QStringLiteral("&Taille normale"), {QKeySequence(Qt::CTRL | Qt::Key_0)}, 0);
    QMenu *help = menuBar()->addMenu(QStringLiteral("A&ide"));
    QAction *guide = help->addAction(QStringLiteral("&Aide"), this, &ClassWindow::showHelp);
    guide->setShortcut(QKeySequence::HelpContents);
    findChild<QToolBar *>()->addAction(guide);
}

// Tables and text together, for a projector: the window's font, and the
// rows' height that goes with it.
void ClassWindow::setZoom(double zoom)
{
    m_zoom = zoom;
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * zoom);
    else
        font.setPixelSize(int(font.pixelSize() * zoom));
    setFont(font);
    QFont bold = font;
    bold.setBold(true);
    m_missed->setFont(bold);
    const int rowHeight = QFontMetrics(font).height() + 8;
    for (QTableView *view : {m_pupilsView, m_ideasView})
        view->verticalHeader()->setDefaultSectionSize(rowHeight);
}

void ClassWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (m_placed)
        return;
    m_placed = true;
    // Once the frame is known: a window whose title bar is off the screen
    // cannot be moved back.
    QTimer::singleShot(0, this, [this] {
        const QRect available = screen()->availableGeometry();
        if (isMaximized() || isFullScreen())
            return;
        if (const int over = frameGeometry().height() - available.height(); over > 0)
            resize(width(), height() - over);
        const QRect frame = frameGeometry();
        if (frame.top() < available.top() || frame.bottom() > available.bottom())
            move(frame.left(), available.top());
    });
}

void ClassWindow::placeOnScreen()
{
    const KeptWindow kept = keptWindow();
    QScreen *screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        setGeometry(initialWindowRect(screen->availableGeometry(), kept.size));
    if (kept.maximised)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (kept.zoom != 1.0)
        setZoom(kept.zoom);
}

void ClassWindow::closeEvent(QCloseEvent *event)
{
    keepWindow({normalGeometry().size(), isMaximized(), m_zoom});
    QMainWindow::closeEvent(event);
}

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

void ClassWindow::print()
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        auto *box = new QMessageBox(QMessageBox::Information, QStringLiteral("Imprimer"),
                                    QStringLiteral("Aucune imprimante n'est installée sur cet ordinateur.\n\nVous "
                                                   "pouvez enregistrer la page en PDF, puis l'imprimer d'un autre "
                                                   "ordinateur ou l'envoyer."),
                                    QMessageBox::NoButton, this);
        box->setTextFormat(Qt::PlainText);
        QPushButton *pdf = box->addButton(QStringLiteral("Enregistrer en PDF…"), QMessageBox::AcceptRole);
        box->addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
        box->setDefaultButton(pdf);
        box->setAttribute(Qt::WA_DeleteOnClose);
        connect(pdf, &QPushButton::clicked, this, &ClassWindow::savePdf, Qt::QueuedConnection);
        box->open();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument page;
    page.setHtml(classPageHtml(report(), this->page()));
    page.print(&printer);
}

void ClassWindow::savePdf()
{
    const QString target = QFileDialog::getSaveFileName(this, QStringLiteral("Enregistrer en PDF"),
                                                        documentsFolder() + QStringLiteral("/bilan.pdf"),
                                                        QStringLiteral("PDF (*.pdf)"));
    if (!target.isEmpty())
        writePdf(target);
}

void ClassWindow::writePdf(const QString &target)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(target);
    setUpPage(printer);
    QTextDocument page;
    page.setHtml(classPageHtml(report(), this->page()));
    page.print(&printer);
    // A class's answers are the teacher's business alone, as the spreadsheet's are.
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    statusBar()->showMessage(QStringLiteral("Enregistré dans %1").arg(QDir::toNativeSeparators(target)), 8000);
}

// A box that does not wait: what a file or a pupil named stays plain text.
// Without the system's icon, whose first look-up in the icon theme holds the
// window some 50 ms; a failure says so in its first words.
void ClassWindow::tell(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Résultats de la classe"), text,
                                QMessageBox::NoButton, this);
    box->setTextFormat(Qt::PlainText);
    // Named here: Qt's own French is not installed everywhere (Windows).
    box->addButton(QStringLiteral("Fermer"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void ClassWindow::showHelp()
{
    auto *help = new HelpDialog(this);
    help->setAttribute(Qt::WA_DeleteOnClose);
    help->show();
}

// The teacher's exercises. An exercise the class has done gets a new code
// when it changes: known from the last reading, else looked for in the logs
// themselves, which a reading under way has not finished.
void ClassWindow::showExercises()
{
    auto *dialog = new ExercisesDialog(exercisesPlace(), [this](const QString &code) {
        return m_results.hasAttempts(code) || logsHoldExercise(m_loader.sources().logs, code);
    }, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFont(font());
    dialog->show();
}
