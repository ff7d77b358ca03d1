#include "teacher/exerciseeditor.h"

#include "exercisefile/exercisefile.h"
#include "exercisefile/exercisewriter.h"
#include "exercisefile/passagetext.h"
#include "layout/pageoverflow.h"
#include "teacher/faultlabel.h"
#include "teacher/idearows.h"
#include "teacher/passagebox.h"
#include "window/pagewidgets.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLineEdit *field(const QString &name, const QString &accessible)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(name);
    edit->setAccessibleName(accessible);
    return edit;
}

// A field and, under it, what is wrong with it.
QWidget *withFault(QWidget *field, QLabel *fault)
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field);
    layout->addWidget(fault);
    return box;
}

QStringList faultsOf(const QList<ExerciseFault> &faults, ExerciseField field)
{
    QStringList texts;
    for (const ExerciseFault &fault : faults)
        if (fault.field == field)
            texts.append(fault.text);
    return texts;
}

QString windowTitleFor(EditorStart::Mode mode)
{
    switch (mode) {
    case EditorStart::Mode::New: return QStringLiteral("Nouvel exercice");
    case EditorStart::Mode::Copy: return QStringLiteral("Copie d'un exercice");
    case EditorStart::Mode::Modify: break;
    }
    return QStringLiteral("Modifier un exercice");
}

} // namespace

ExerciseEditor::ExerciseEditor(EditorStart start, QWidget *parent)
    : QDialog(parent)
    , m_start(std::move(start))
    , m_pageCheck(new QTimer(this))
{
    setWindowTitle(windowTitleFor(m_start.mode));
    QLineEdit measured;
    m_chrome = controlChrome(&measured);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(buildFields());
    m_pageWarning = new QLabel;
    m_pageWarning->setObjectName(QStringLiteral("pageWarning"));
    m_pageWarning->setTextFormat(Qt::PlainText);
    m_pageWarning->setWordWrap(true);
    m_pageWarning->hide();
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setTextFormat(Qt::PlainText);
    m_status->setWordWrap(true);
    auto *buttons = new QDialogButtonBox;
    QPushButton *save = buttons->addButton(QStringLiteral("&Enregistrer"), QDialogButtonBox::AcceptRole);
    // Ctrl+S beside the button's own Alt+E, which a shortcut of its own would replace.
    auto *saving = new QAction(this);
    saving->setShortcut(QKeySequence::Save);
    connect(saving, &QAction::triggered, this, &ExerciseEditor::save);
    addAction(saving);
    m_preview = buttons->addButton(QStringLiteral("A&perçu"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("&Fermer"), QDialogButtonBox::RejectRole);
    connect(save, &QPushButton::clicked, this, &ExerciseEditor::save);
    connect(m_preview, &QPushButton::clicked, this, [this] { emit previewRequested(exercise()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    // The teacher types the title first: keys typed at once are not lost.
    m_title->setFocus();
    layout->addWidget(m_pageWarning);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    m_pageCheck->setSingleShot(true);
    m_pageCheck->setInterval(300);
    connect(m_pageCheck, &QTimer::timeout, this, &ExerciseEditor::checkPage);
    fill(m_start.exercise);
    m_lastSaved = m_start.mode == EditorStart::Mode::Modify ? m_start.exercise : exercise();
    checkPage();
    resize(860, 720);
}

// The passage's box, how many paragraphs it makes, and what is wrong with them.
QWidget *ExerciseEditor::buildPassage()
{
    m_passage = new PassageBox;
    m_passage->setMinimumHeight(220);
    m_paragraphCount = new QLabel;
    m_paragraphCount->setObjectName(QStringLiteral("paragraphCount"));
    m_paragraphCount->setWordWrap(true);
    m_passageFault = faultLabel();
    m_passageFault->setObjectName(QStringLiteral("passageFault"));
    auto *passage = new QWidget;
    auto *passageLayout = new QVBoxLayout(passage);
    passageLayout->setContentsMargins(0, 0, 0, 0);
    passageLayout->addWidget(new QLabel(QStringLiteral("Collez ou écrivez le texte, une ligne vide entre deux "
                                                       "paragraphes, sans les numéroter.")));
    passageLayout->addWidget(m_passage, 1);
    passageLayout->addWidget(m_paragraphCount);
    passageLayout->addWidget(m_passageFault);
    return passage;
}

QWidget *ExerciseEditor::buildFields()
{
    auto *fields = new QWidget;
    auto *form = new QFormLayout(fields);
    m_code = field(QStringLiteral("code"), QStringLiteral("Code"));
    m_code->setMaxLength(3);
    m_code->setMaximumWidth(80);
    m_code->setReadOnly(m_start.mode == EditorStart::Mode::Modify);
    m_codeFault = faultLabel();
    m_codeFault->setObjectName(QStringLiteral("codeFault"));
    form->addRow(QStringLiteral("&Code :"), withFault(m_code, m_codeFault));
    m_title = field(QStringLiteral("title"), QStringLiteral("Titre"));
    m_titleFault = faultLabel();
    m_titleFault->setObjectName(QStringLiteral("titleFault"));
    form->addRow(QStringLiteral("&Titre :"), withFault(m_title, m_titleFault));
    m_readingInstruction = field(QStringLiteral("readingInstruction"), QStringLiteral("Consigne de lecture"));
    m_readingInstruction->setPlaceholderText(defaultReadingInstruction());
    m_readingFault = faultLabel();
    form->addRow(QStringLiteral("Consigne de &lecture :"), withFault(m_readingInstruction, m_readingFault));
    m_questionInstruction = field(QStringLiteral("questionInstruction"), QStringLiteral("Consigne des questions"));
    m_questionFault = faultLabel();
    form->addRow(QStringLiteral("Consigne des &questions :"), withFault(m_questionInstruction, m_questionFault));
    auto *hint = new QLabel(QStringLiteral("Laissées vides, les consignes sont celles qu'on lit en gris."));
    hint->setWordWrap(true);
    form->addRow(QString(), hint);
    QWidget *passage = buildPassage();
    form->addRow(QStringLiteral("Te&xte :"), passage);
    m_ideas = new IdeaRows;
    form->addRow(QStringLiteral("Idées :"), m_ideas);
    for (QLineEdit *edit : {m_code, m_title, m_readingInstruction, m_questionInstruction})
        connect(edit, &QLineEdit::textChanged, this, &ExerciseEditor::check);
    connect(m_passage, &QPlainTextEdit::textChanged, this, &ExerciseEditor::check);
    connect(m_passage, &PassageBox::passagePasted, this, [this](int paragraphs, int numbers) {
        m_status->setText(numbers > 0 ? QStringLiteral("Texte collé : %1 paragraphes, %2 numéros retirés (le "
                                                       "programme numérote les paragraphes lui-même).")
                                            .arg(paragraphs).arg(numbers)
                                      : QStringLiteral("Texte collé : %1 paragraphes.").arg(paragraphs));
    });
    connect(m_ideas, &IdeaRows::changed, this, &ExerciseEditor::check);
    // Each label's mnemonic reaches its field, not the box around it.
    for (QWidget *edit : std::initializer_list<QWidget *>{m_code, m_title, m_readingInstruction,
                                                          m_questionInstruction, m_passage})
        if (auto *label = qobject_cast<QLabel *>(form->labelForField(edit->parentWidget())))
            label->setBuddy(edit);
    return fields;
}

void ExerciseEditor::fill(const Exercise &exercise)
{
    const ExerciseDraft draft = draftOf(exercise);
    m_code->setText(exercise.code);
    m_title->setText(exercise.label);
    m_readingInstruction->setText(draft.readingInstruction ? draft.readingInstruction->text : QString());
    m_questionInstruction->setText(draft.questionInstruction ? draft.questionInstruction->text : QString());
    QStringList paragraphs;
    for (const DraftItem &paragraph : draft.paragraphs)
        paragraphs.append(paragraph.text);
    m_passage->setPlainText(passageBoxText(paragraphs));
    m_ideas->setParagraphs(paragraphs);
    m_ideas->setIdeas(exercise.ideas);
    if (exercise.ideas.isEmpty())
        m_ideas->addRow();
    // From the passage to the ideas, as the form reads.
    m_ideas->chainFocusAfter(m_passage);
    check();
}

ExerciseDraft ExerciseEditor::draft() const
{
    ExerciseDraft draft;
    draft.code = DraftItem{m_code->text().trimmed(), 0};
    draft.title = DraftItem{m_title->text().trimmed(), 0};
    if (const QString text = m_readingInstruction->text().trimmed(); !text.isEmpty())
        draft.readingInstruction = DraftItem{text, 0};
    if (const QString text = m_questionInstruction->text().trimmed(); !text.isEmpty())
        draft.questionInstruction = DraftItem{text, 0};
    for (const QString &paragraph : passageParagraphs(m_passage->toPlainText()))
        draft.paragraphs.append({paragraph, 0});
    draft.ideas = m_ideas->ideas();
    return draft;
}

Exercise ExerciseEditor::exercise() const
{
    return exerciseFrom(draft());
}

void ExerciseEditor::check()
{
    const ExerciseDraft now = draft();
    m_faults = draftFaults(now);
    // An idea whose paragraph is still to choose is told so.
    for (ExerciseFault &fault : m_faults)
        if (fault.field == ExerciseField::Idea && fault.index >= 0 && fault.index < now.ideas.size()
            && now.ideas[fault.index].paragraph == 0 && fault.text.startsWith(QStringLiteral("le paragraphe de")))
            fault.text = QStringLiteral("choisis dans la liste le paragraphe où se trouve cette idée");
    // The rules speak of a file; here the teacher writes in a form.
    for (ExerciseFault &fault : m_faults)
        fault.text.replace(QStringLiteral("ce fichier"), QStringLiteral("le texte"));
    const QString code = now.code->text;
    const QString holder = m_start.fileOfCode.value(code);
    if (!holder.isEmpty() && holder != m_start.file)
        m_faults.append({0, QStringLiteral("le code %1 est déjà celui de %2 : un code ne sert qu'à un exercice")
                                .arg(code, holder), ExerciseField::Code, -1});
    const qsizetype paragraphs = now.paragraphs.size();
    m_paragraphCount->setText(paragraphs == 1 ? QStringLiteral("1 paragraphe")
                                              : QStringLiteral("%1 paragraphes").arg(paragraphs));
    m_questionInstruction->setPlaceholderText(defaultQuestionInstruction(int(std::max<qsizetype>(2, paragraphs))));
    QStringList texts;
    for (const DraftItem &paragraph : now.paragraphs)
        texts.append(paragraph.text);
    m_ideas->setParagraphs(texts);
    showFaults(m_codeFault, faultsOf(m_faults, ExerciseField::Code));
    showFaults(m_titleFault, faultsOf(m_faults, ExerciseField::Title));
    showFaults(m_readingFault, faultsOf(m_faults, ExerciseField::ReadingInstruction));
    showFaults(m_questionFault, faultsOf(m_faults, ExerciseField::QuestionInstruction));
    showFaults(m_passageFault, faultsOf(m_faults, ExerciseField::Paragraph));
    m_ideas->setFaults(m_faults);
    m_preview->setEnabled(m_faults.isEmpty());
    m_pageCheck->start();
}

// Laying the page out takes a moment: once the teacher pauses.
void ExerciseEditor::checkPage()
{
    const ExerciseDraft now = draft();
    if (now.paragraphs.isEmpty() || now.ideas.isEmpty()) {
        m_pageWarning->hide();
        return;
    }
    const PageOverflow overflow = pageOverflow(exerciseFrom(now), m_chrome);
    const QString screen = QStringLiteral("À la taille prévue, la page est plus haute qu'une fenêtre agrandie sur "
                                          "un écran de 1366 × 768 : elle y sera affichée plus petite.");
    m_pageWarning->setText(
        overflow.fits ? QString()
        : overflow.passageCanFit
            ? screen + QStringLiteral(" Pour qu'elle garde sa taille, raccourcissez le texte d'environ %1 ligne%2. "
                                      "Vous pouvez tout de même l'enregistrer.")
                           .arg(overflow.linesToCut).arg(overflow.linesToCut > 1 ? QStringLiteral("s") : QString())
            : screen + QStringLiteral(" Les idées et les consignes y tiennent déjà trop de place : raccourcissez-les "
                                      "ou retirez des idées. Vous pouvez tout de même l'enregistrer."));
    m_pageWarning->setVisible(!overflow.fits);
}

bool ExerciseEditor::save()
{
    check();
    if (!m_faults.isEmpty()) {
        m_status->setText(QStringLiteral("L'exercice n'est pas enregistré : corrigez d'abord ce qui est dit en "
                                         "rouge à côté des champs."));
        return false;
    }
    Exercise edited = exercise();
    if (m_start.mode == EditorStart::Mode::Modify && edited == m_lastSaved) {
        m_status->setText(QStringLiteral("Rien n'a changé depuis le dernier enregistrement."));
        return true;
    }
    const QString oldCode = m_lastSaved.code;
    QString replaced;
    const QString file = saveFile(edited, replaced);
    if (file.isEmpty())
        return false;
    const QString path = QDir(m_start.folder).filePath(file);
    const ExerciseSaved outcome = saveExerciseFile(edited, path);
    if (!outcome.saved) {
        m_status->setText(QStringLiteral("L'exercice n'a pas pu être enregistré dans %1 : %2")
                              .arg(QDir::toNativeSeparators(path),
                                   outcome.failure.isEmpty() ? describeFaults(outcome.faults).trimmed()
                                                             : outcome.failure));
        return false;
    }
    // From now on the form is that file's.
    m_start.mode = EditorStart::Mode::Modify;
    m_start.file = file;
    if (!m_start.files.contains(file))
        m_start.files.append(file);
    m_start.fileOfCode.insert(edited.code, file);
    m_lastSaved = edited;
    m_code->setReadOnly(true);
    {
        const QSignalBlocker quiet(m_code);
        m_code->setText(edited.code);
    }
    setWindowTitle(windowTitleFor(m_start.mode));
    tellSaved(path, replaced, oldCode);
    emit saved(file, replaced);
    return true;
}

// The file `edited` goes to, its code made new where it must be; empty
// when it cannot be saved, which is said beside the code.
QString ExerciseEditor::saveFile(Exercise &edited, QString &replaced)
{
    const auto hasAttempts = [this](const QString &code) {
        return m_start.hasAttempts && m_start.hasAttempts(code);
    };
    if (m_start.mode == EditorStart::Mode::Modify) {
        if (!needsNewCode(m_lastSaved, edited, hasAttempts(m_lastSaved.code)))
            return m_start.file;
        edited.code = proposeNewCode(m_start.fileOfCode.keys(), hasAttempts);
        replaced = m_start.file;
    } else if (hasAttempts(edited.code)) {
        const QString proposed = proposeNewCode(m_start.fileOfCode.keys() << edited.code, hasAttempts);
        showFaults(m_codeFault, {QStringLiteral("les résultats de la classe ont déjà des essais sous le code %1, "
                                                "sans doute d'un exercice supprimé : prends-en un autre, comme %2")
                                     .arg(edited.code, proposed)});
        m_status->setText(QStringLiteral("L'exercice n'est pas enregistré : son code sert déjà."));
        return {};
    }
    if (edited.code.isEmpty()) {
        m_status->setText(QStringLiteral("L'exercice n'est pas enregistré : les mille codes servent déjà."));
        return {};
    }
    return exerciseFileName(edited.code, edited.label, m_start.files);
}

void ExerciseEditor::tellSaved(const QString &path, const QString &replaced, const QString &oldCode)
{
    const QString where = QDir::toNativeSeparators(path);
    if (replaced.isEmpty()) {
        m_status->setText(QStringLiteral("Enregistré dans %1.").arg(where));
        return;
    }
    m_status->setText(QStringLiteral("Des élèves ont déjà fait l'exercice %1 : pour que leurs résultats restent "
                                     "justes, vos changements sont enregistrés comme un nouvel exercice, de code %2, "
                                     "dans %3. L'ancien fichier, %4, reste pour relire ces résultats.")
                          .arg(oldCode, m_lastSaved.code, where, replaced));
}

void ExerciseEditor::closeEvent(QCloseEvent *event)
{
    if (exercise() == m_lastSaved) {
        event->accept();
        return;
    }
    QMessageBox ask(QMessageBox::NoIcon, windowTitle(),
                    QStringLiteral("Cet exercice a des changements qui ne sont pas enregistrés."), QMessageBox::NoButton,
                    this);
    ask.setTextFormat(Qt::PlainText);
    QPushButton *save = ask.addButton(QStringLiteral("Enregistrer"), QMessageBox::AcceptRole);
    QPushButton *drop = ask.addButton(QStringLiteral("Ne pas enregistrer"), QMessageBox::DestructiveRole);
    ask.addButton(QStringLiteral("Annuler"), QMessageBox::RejectRole);
    ask.setDefaultButton(save);
    ask.exec();
    if (ask.clickedButton() == drop || (ask.clickedButton() == save && this->save()))
        event->accept();
    else
        event->ignore();
}
