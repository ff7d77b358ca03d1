// The pupils' reading adaptations in the teacher's window: "Adaptations…",
// the marks in the pupils' table and what the window says about the
// adaptations folder's files.
#include "teacher/classwindow.h"

#include "teacher/adaptationmarks.h"
#include "teacher/adaptationsdialog.h"
#include "teacher/noticesview.h"

#include <QMessageBox>

namespace {

// The pupils the class folder shows, whatever exercise they did, whose
// files the folder should hold.
QStringList knownPupils(const ClassResults &results)
{
    QStringList logins;
    if (results.rowKind() != ReportRows::Pupils)
        return logins;
    for (const ExerciseKey &key : results.exercises())
        for (const PupilSummary &pupil : results.report(key).pupils())
            if (!logins.contains(pupil.name))
                logins.append(pupil.name);
    return logins;
}

} // namespace

void ClassWindow::readAdaptations()
{
    const AdaptationsFolder &where = m_context.adaptations;
    QList<ClassNotice> notices;
    if (!where.problem.isEmpty()) {
        notices.append({QStringLiteral("Adaptations de lecture : %1.").arg(where.problem), {}});
        m_adaptations = {};
    } else if (where.folder) {
        m_adaptations = readClassAdaptations(folderAccess(*where.folder), where.shown, knownPupils(results()));
        notices = m_adaptations.notices();
    }
    const QStringList adapted = m_adaptations.adapted();
    m_adaptationMarks->setAdapted(QSet<QString>(adapted.cbegin(), adapted.cend()));
    m_adaptationNotices->setNotices(notices);
}

// A pupil new to the class folder should have a file too: read again when
// the pupils the class shows are others than those last read for.
void ClassWindow::followAdaptations()
{
    if (!m_context.adaptations.folder)
        return;
    const QStringList known = knownPupils(results());
    for (const QString &login : known)
        if (!m_adaptations.pupils.contains(login) && loginFault(login).isEmpty()) {
            readAdaptations();
            return;
        }
}

void ClassWindow::editAdaptations()
{
    const AdaptationsFolder &where = m_context.adaptations;
    if (!where.folder) {
        QMessageBox box(QMessageBox::Information, QStringLiteral("Adaptations de lecture"),
                        where.problem.isEmpty()
                            ? QStringLiteral("Aucun dossier des adaptations n'est réglé sur cette machine. Le "
                                             "technicien le règle une fois pour la classe, comme le dit le guide de "
                                             "déploiement.")
                            : QStringLiteral("Le dossier des adaptations ne peut pas servir : %1.").arg(where.problem),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        box.exec();
        return;
    }
    readAdaptations();
    const std::filesystem::path folder = *where.folder;
    auto *dialog = new AdaptationsDialog(
        m_adaptations, knownPupils(results()),
        [folder](const QString &name, const QByteArray &bytes, const QString &pupil) {
            return writeAdaptationsFile(folder, name, bytes, pupil);
        },
        this);
    dialog->setFont(font());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &AdaptationsDialog::saved, this, &ClassWindow::readAdaptations);
    dialog->open();
}
