#include "teacher/exercisesdialog.h"

#include "offered/choicewriter.h"
#include "offered/exercisessetting.h"
#include "paths/paths.h"
#include "saving/logsetting.h"
#include "teacher/exerciseeditor.h"
#include "teacher/exercisepreview.h"
#include "teacher/exercisesmodel.h"
#include "teacher/faultlabel.h"
#include "teacher/offerdialog.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// The teacher's own settings, where the window keeps its size: never the machine's.
struct TeacherSettings : QSettings
{
    TeacherSettings()
        : QSettings(QSettings::UserScope, QStringLiteral("morvel2"), QStringLiteral("classe"))
    {
        setFallbacksEnabled(false);
    }
};

const QString ownFolderKey = QStringLiteral("exercises/ownFolder");

} // namespace

ExercisesPlace exercisesPlace()
{
    ExercisesPlace place;
    const FoundSetting setting =
        findSetting(machineSettingSources(), QStringLiteral("exercises"), QStringLiteral("folder"));
    if (!setting.problem.isEmpty())
        place.problem = QStringLiteral("Le réglage des exercices ne peut pas être lu : %1").arg(setting.problem);
    else if (setting.value && !setting.value->isEmpty() && !QDir::isAbsolutePath(*setting.value))
        place.problem = QStringLiteral("Le dossier des exercices doit être un chemin complet : « %1 » (%2)")
                            .arg(*setting.value, setting.source);
    else if (setting.value && !setting.value->isEmpty())
        return {*setting.value, true, {}};
    place.folder = TeacherSettings().value(ownFolderKey).toString();
    return place;
}

ExercisesDialog::ExercisesDialog(ExercisesPlace place, HasAttempts hasAttempts, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_place(std::move(place))
    , m_hasAttempts(std::move(hasAttempts))
    , m_model(new ExercisesModel(this))
    , m_table(new QTableView)
    , m_placeText(new QLabel)
    , m_problem(faultLabel())
    , m_chooseFolder(new QPushButton(QStringLiteral("Choisir un dossier…")))
    , m_reading(new QComboBox)
{
    setWindowTitle(QStringLiteral("Exercices"));
    m_placeText->setObjectName(QStringLiteral("place"));
    m_placeText->setTextFormat(Qt::PlainText);
    m_placeText->setWordWrap(true);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_table->setObjectName(QStringLiteral("exercises"));
    m_table->setAccessibleName(QStringLiteral("Exercices"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(m_chooseFolder, &QPushButton::clicked, this, &ExercisesDialog::chooseFolder);
    for (const auto &[name, settings] : previewReadingChoices())
        m_reading->addItem(name);
    m_reading->setAccessibleName(QStringLiteral("Lecture de l'aperçu"));
    auto *buttons = new QGridLayout;
    const auto add = [&](const QString &text, const char *name, int row, int column, auto slot) {
        auto *button = new QPushButton(text);
        button->setObjectName(QLatin1String(name));
        connect(button, &QPushButton::clicked, this, slot);
        buttons->addWidget(button, row, column);
    };
    add(QStringLiteral("&Nouveau"), "new", 0, 0, [this] { newExercise(); });
    add(QStringLiteral("&Modifier"), "modify", 0, 1, [this] { modify(); });
    add(QStringLiteral("&Dupliquer"), "duplicate", 0, 2, [this] { duplicate(); });
    add(QStringLiteral("&Supprimer"), "delete", 0, 3, [this] { remove(); });
    add(QStringLiteral("A&perçu"), "preview", 1, 0, [this] { preview(); });
    auto *readingLabel = new QLabel(QStringLiteral("pour un élève qui &lit :"));
    readingLabel->setBuddy(m_reading);
    buttons->addWidget(readingLabel, 1, 1, Qt::AlignRight);
    buttons->addWidget(m_reading, 1, 2);
    add(QStringLiteral("P&roposer aux élèves…"), "offer", 1, 3, [this] { offer(); });
    add(QStringLiteral("&Fermer"), "close", 2, 3, [this] { close(); });
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_placeText);
    layout->addWidget(m_chooseFolder, 0, Qt::AlignLeft);
    layout->addWidget(m_problem);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    connect(m_table, &QTableView::doubleClicked, this, [this] { modify(); });
    showPlace();
    reload();
    resize(980, 520);
}

QPushButton *ExercisesDialog::button(const QString &name) const
{
    return findChild<QPushButton *>(name);
}

void ExercisesDialog::showPlace()
{
    const QString folder = QDir::toNativeSeparators(m_place.folder);
    if (m_place.machineSet) {
        m_placeText->setText(QStringLiteral("Dossier des exercices de cet ordinateur : %1").arg(folder));
    } else {
        QString text = m_place.problem.isEmpty() ? QString() : m_place.problem + u'\n';
        text += QStringLiteral("Aucun dossier des exercices n'est réglé sur cet ordinateur : les élèves y ont "
                               "l'exercice livré avec le programme. Pour qu'ils trouvent les vôtres, un technicien "
                               "règle %1 (voir %2).\n")
                    .arg(exercisesSettingPlace(), deploymentGuide());
        text += m_place.folder.isEmpty()
                    ? QStringLiteral("En attendant, vous pouvez écrire des exercices dans un dossier à vous et les "
                                     "essayer avec « Aperçu » : choisissez-le.")
                    : QStringLiteral("En attendant, vos exercices sont dans %1 : vous pouvez les écrire et les "
                                     "essayer, pas les proposer aux élèves.").arg(folder);
        m_placeText->setText(text);
    }
    m_chooseFolder->setVisible(!m_place.machineSet);
}

void ExercisesDialog::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Dossier de vos exercices"),
                                                             m_place.folder.isEmpty() ? QDir::homePath()
                                                                                      : m_place.folder);
    if (folder.isEmpty())
        return;
    m_place.folder = folder;
    TeacherSettings().setValue(ownFolderKey, folder);
    showPlace();
    reload();
}

void ExercisesDialog::reload()
{
    const QString current = currentRow() > 0 && m_model->entry(currentRow()) ? m_model->entry(currentRow())->file
                                                                               : QString();
    ExerciseLibrary library;
    if (!m_place.folder.isEmpty())
        library = readExerciseLibrary(localPath(m_place.folder));
    m_model->setLibrary(library);
    QStringList problems;
    if (!library.problem.isEmpty())
        problems.append(library.problem);
    if (library.leftOut > 0)
        problems.append(QStringLiteral("%1 fichiers de plus ne sont pas montrés : le dossier en a trop")
                            .arg(library.leftOut));
    showFaults(m_problem, problems);
    connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &ExercisesDialog::updateButtons, Qt::UniqueConnection);
    select(current);
}

void ExercisesDialog::select(const QString &file)
{
    const int row = file.isEmpty() ? 0 : std::max(0, m_model->rowOf(file));
    m_table->setCurrentIndex(m_model->index(row, 0));
    m_table->selectRow(row);
    updateButtons();
}

int ExercisesDialog::currentRow() const
{
    return m_table->currentIndex().isValid() ? m_table->currentIndex().row() : -1;
}

void ExercisesDialog::updateButtons()
{
    const int row = currentRow();
    const bool haveFolder = !m_place.folder.isEmpty();
    const bool exercise = row >= 0 && m_model->exerciseAt(row).has_value();
    const bool ofFolder = row > 0;
    button(QStringLiteral("new"))->setEnabled(haveFolder);
    button(QStringLiteral("modify"))->setEnabled(ofFolder && exercise);
    button(QStringLiteral("duplicate"))->setEnabled(haveFolder && exercise);
    button(QStringLiteral("delete"))->setEnabled(ofFolder);
    button(QStringLiteral("preview"))->setEnabled(exercise);
    button(QStringLiteral("offer"))->setEnabled(m_place.machineSet);
}

ExerciseEditor *ExercisesDialog::openEditor(int mode, const Exercise &exercise, const QString &file)
{
    EditorStart start;
    start.mode = EditorStart::Mode(mode);
    start.exercise = exercise;
    start.file = file;
    start.folder = m_place.folder;
    const ExerciseLibrary &library = m_model->library();
    start.files = library.files();
    for (const LibraryEntry &entry : library.entries)
        if (entry.exercise && !start.fileOfCode.contains(entry.exercise->code))
            start.fileOfCode.insert(entry.exercise->code, entry.file);
    start.hasAttempts = m_hasAttempts;
    auto *editor = new ExerciseEditor(std::move(start), this);
    editor->setAttribute(Qt::WA_DeleteOnClose);
    connect(editor, &ExerciseEditor::saved, this, &ExercisesDialog::saved);
    connect(editor, &ExerciseEditor::previewRequested, this, [this](const Exercise &shown) {
        openPreview(shown, previewReadingChoices().value(m_reading->currentIndex()).second, machinePageSetting(),
                    previewOwner());
    });
    editor->show();
    return editor;
}

ExerciseEditor *ExercisesDialog::newExercise()
{
    if (m_place.folder.isEmpty())
        return nullptr;
    Exercise exercise;
    exercise.code = proposeNewCode(m_model->library().codes(), m_hasAttempts);
    return openEditor(int(EditorStart::Mode::New), exercise, {});
}

ExerciseEditor *ExercisesDialog::modify()
{
    const int row = currentRow();
    const LibraryEntry *entry = m_model->entry(row);
    if (!entry)
        return nullptr;
    if (!entry->exercise) {
        tell(QStringLiteral("%1 ne peut pas être ouvert ici : %2\n\nCorrigez-le dans un éditeur de texte "
                            "(voir exercices.md), ou supprimez-le.").arg(entry->file, entry->problem));
        return nullptr;
    }
    return openEditor(int(EditorStart::Mode::Modify), *entry->exercise, entry->file);
}

ExerciseEditor *ExercisesDialog::duplicate()
{
    const std::optional<Exercise> exercise = m_model->exerciseAt(currentRow());
    if (!exercise || m_place.folder.isEmpty())
        return nullptr;
    const QString code = proposeNewCode(m_model->library().codes(), m_hasAttempts);
    return openEditor(int(EditorStart::Mode::Copy), copyOf(*exercise, code), {});
}

void ExercisesDialog::saved(const QString &file, const QString &replaced)
{
    QStringList offered = m_model->library().offered;
    const qsizetype at = offered.indexOf(replaced);
    if (!replaced.isEmpty() && at >= 0 && m_place.machineSet) {
        // The pupils get the exercise as it is now, under its new code.
        offered[at] = file;
        if (const QString failure = saveOfferChoice(m_place.folder, offered); !failure.isEmpty())
            tell(QStringLiteral("Les élèves ont encore l'ancien exercice, %1 : %2").arg(replaced, failure));
    }
    reload();
    select(file);
}

void ExercisesDialog::remove()
{
    const LibraryEntry *entry = m_model->entry(currentRow());
    if (!entry)
        return;
    const LibraryEntry chosen = *entry;
    QMessageBox ask(QMessageBox::NoIcon, QStringLiteral("Supprimer un exercice"),
                    QStringLiteral("Supprimer %1 ?%2\n\nLes résultats déjà écrits restent dans les fichiers de "
                                   "résultats ; son code ne sera plus proposé pour un autre exercice.")
                        .arg(chosen.file, chosen.offered ? QStringLiteral(" Il ne sera plus proposé aux élèves.")
                                                         : QString()),
                    QMessageBox::NoButton, this);
    ask.setTextFormat(Qt::PlainText);
    QPushButton *yes = ask.addButton(QStringLiteral("Supprimer"), QMessageBox::DestructiveRole);
    ask.setDefaultButton(ask.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole));
    ask.exec();
    if (ask.clickedButton() != yes)
        return;
    if (chosen.offered) {
        QStringList offered = m_model->library().offered;
        offered.removeAll(chosen.file);
        if (const QString failure = saveOfferChoice(m_place.folder, offered); !failure.isEmpty()) {
            tell(QStringLiteral("%1 n'est pas supprimé : %2").arg(chosen.file, failure));
            return;
        }
    }
    // To the wastebasket where there is one, so that a slip can be undone.
    const QString path = QDir(m_place.folder).filePath(chosen.file);
    QFile file(path);
    if (QFile::exists(path) && !file.moveToTrash() && !file.remove())
        tell(QStringLiteral("%1 n'a pas pu être supprimé : %2").arg(chosen.file, file.errorString()));
    reload();
}

void ExercisesDialog::preview()
{
    if (const std::optional<Exercise> exercise = m_model->exerciseAt(currentRow()))
        openPreview(*exercise, previewReadingChoices().value(m_reading->currentIndex()).second, machinePageSetting(),
                    previewOwner());
}

void ExercisesDialog::offer()
{
    if (!m_place.machineSet)
        return;
    reload(); // the choice as it is now, not as it was when the list was read
    auto *dialog = new OfferDialog(m_model->library(), m_place.folder, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &OfferDialog::choiceSaved, this, &ExercisesDialog::reload);
    dialog->open();
}

// The teacher's window: a preview stays open while it does.
QWidget *ExercisesDialog::previewOwner()
{
    return parentWidget() ? parentWidget()->window() : this;
}

void ExercisesDialog::tell(const QString &text)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("Exercices"), text, QMessageBox::NoButton, this);
    box->setTextFormat(Qt::PlainText);
    box->addButton(QStringLiteral("Fermer"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
