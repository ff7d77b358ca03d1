#include "teacher/adaptationsdialog.h"

#include "adaptations/adaptationsstore.h"
#include "teacher/adaptationssample.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

QComboBox *choices(const QList<std::pair<QString, int>> &items)
{
    auto *box = new QComboBox;
    for (const auto &[text, value] : items)
        box->addItem(text, value);
    return box;
}

QComboBox *numbers(const QList<int> &values, const std::function<QString(int)> &text)
{
    QList<std::pair<QString, int>> items;
    for (int value : values)
        items.append({text(value), value});
    return choices(items);
}

QString decimal(int hundredths)
{
    return QLocale(QLocale::French).toString(hundredths / 100.0);
}

QString spacing(int hundredths)
{
    return hundredths == 0 ? QStringLiteral("aucun") : QStringLiteral("%1 em").arg(decimal(hundredths));
}

int valueOf(const QComboBox *box)
{
    return box->currentData().toInt();
}

void select(QComboBox *box, int value)
{
    box->setCurrentIndex(std::max(0, box->findData(value)));
}

} // namespace

AdaptationsDialog::AdaptationsDialog(const ClassAdaptations &current, const QStringList &known, WriteAdaptations write,
                                     QWidget *parent)
    : QDialog(parent)
    , m_draft(current, known)
    , m_write(std::move(write))
{
    setWindowTitle(QStringLiteral("Adaptations de lecture"));
    auto *layout = new QVBoxLayout(this);
    auto *about = new QLabel(QStringLiteral(
        "Pour un élève qui lit mieux autrement : une police faite pour les jeunes lecteurs ou pour les lecteurs "
        "dyslexiques, un texte plus grand, plus espacé, un autre fond, une règle de lecture. L'élève les retrouve "
        "à chaque exercice ; ses résultats ne les enregistrent pas."));
    about->setWordWrap(true);
    layout->addWidget(about);
    auto *form = new QFormLayout;
    buildChoice(form);
    buildForm(form);
    layout->addLayout(form);
    m_sample = new AdaptationsSample;
    auto *scroll = new QScrollArea;
    scroll->setWidget(m_sample);
    scroll->setWidgetResizable(true);
    scroll->setMinimumHeight(160);
    layout->addWidget(new QLabel(QStringLiteral("Ce que l'élève verra :")));
    layout->addWidget(scroll, 1);
    auto *buttons = new QDialogButtonBox;
    // Not the box's accepting button, which it would make the default:
    // Enter adds the login typed, or does nothing; saving takes the button.
    QPushButton *saving = buttons->addButton(QStringLiteral("&Enregistrer"), QDialogButtonBox::ActionRole);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    connect(saving, &QPushButton::clicked, this, [this] {
        if (save())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QAbstractButton *button : buttons->buttons())
        if (auto *push = qobject_cast<QPushButton *>(button))
            push->setAutoDefault(false);
    layout->addWidget(buttons);
    fillPupils();
    showChosen();
    resize(640, 640);
}

void AdaptationsDialog::buildChoice(QFormLayout *form)
{
    m_who = new QComboBox;
    m_who->setObjectName(QStringLiteral("who"));
    m_who->setAccessibleName(QStringLiteral("Pour qui"));
    connect(m_who, &QComboBox::activated, this, &AdaptationsDialog::choose);
    form->addRow(QStringLiteral("&Pour :"), m_who);
    auto *typed = new QHBoxLayout;
    m_login = new QLineEdit;
    m_login->setObjectName(QStringLiteral("login"));
    m_login->setAccessibleName(QStringLiteral("Identifiant d'un autre élève"));
    m_login->setPlaceholderText(QStringLiteral("identifiant de connexion"));
    auto *add = new QPushButton(QStringLiteral("A&jouter"));
    add->setAutoDefault(false);
    connect(add, &QPushButton::clicked, this, &AdaptationsDialog::addTyped);
    connect(m_login, &QLineEdit::returnPressed, this, &AdaptationsDialog::addTyped);
    typed->addWidget(m_login, 1);
    typed->addWidget(add);
    auto *other = new QLabel(QStringLiteral("Un &autre élève :"));
    other->setBuddy(m_login);
    form->addRow(other, typed);
    m_loginProblem = new QLabel;
    m_loginProblem->setObjectName(QStringLiteral("loginProblem"));
    m_loginProblem->setTextFormat(Qt::PlainText);
    m_loginProblem->setWordWrap(true);
    m_loginProblem->hide();
    form->addRow(m_loginProblem);
    m_own = new QCheckBox(QStringLiteral("Des adaptations pr&opres à cet élève (sinon, celles de la classe)"));
    m_own->setObjectName(QStringLiteral("own"));
    connect(m_own, &QCheckBox::toggled, this, [this](bool own) {
        if (m_showing)
            return;
        m_draft.setOwnSettings(own);
        showChosen();
    });
    form->addRow(m_own);
}

void AdaptationsDialog::buildForm(QFormLayout *form)
{
    m_font = choices({{QStringLiteral("Celle de l'exercice"), int(ReadingFont::Design)},
                      {QStringLiteral("Andika, pour les lecteurs débutants"), int(ReadingFont::Andika)},
                      {QStringLiteral("OpenDyslexic, pour les lecteurs dyslexiques"), int(ReadingFont::OpenDyslexic)}});
    m_size = numbers(textSizeChoices(), [](int v) { return QStringLiteral("%1 %").arg(v); });
    m_lineSpacing = numbers(lineSpacingChoices(), decimal);
    m_letters = numbers(letterSpacingChoices(), spacing);
    m_words = numbers(wordSpacingChoices(), spacing);
    m_background = choices({{QStringLiteral("Celui de l'exercice (bleu clair)"), int(PassageBackground::Design)},
                            {QStringLiteral("Blanc"), int(PassageBackground::White)},
                            {QStringLiteral("Crème"), int(PassageBackground::Cream)}});
    m_ruler = new QCheckBox(QStringLiteral("Une bande sous la ligne lue, que l'élève déplace"));
    form->addRow(QStringLiteral("Poli&ce :"), m_font);
    form->addRow(QStringLiteral("&Taille du texte :"), m_size);
    form->addRow(QStringLiteral("&Interligne :"), m_lineSpacing);
    form->addRow(QStringLiteral("Espacement des &lettres :"), m_letters);
    form->addRow(QStringLiteral("Espacement des &mots :"), m_words);
    form->addRow(QStringLiteral("&Fond du texte :"), m_background);
    form->addRow(QStringLiteral("&Règle de lecture :"), m_ruler);
    const QStringList names = {"font", "size", "lineSpacing", "letters", "words", "background"};
    const QList<QComboBox *> fields = {m_font, m_size, m_lineSpacing, m_letters, m_words, m_background};
    for (qsizetype i = 0; i < fields.size(); ++i) {
        fields[i]->setObjectName(names[i]);
        connect(fields[i], &QComboBox::currentIndexChanged, this, &AdaptationsDialog::takeForm);
    }
    m_ruler->setObjectName(QStringLiteral("ruler"));
    connect(m_ruler, &QCheckBox::toggled, this, &AdaptationsDialog::takeForm);
}

void AdaptationsDialog::fillPupils()
{
    m_who->clear();
    m_who->addItem(QStringLiteral("Toute la classe"), QString());
    for (const QString &login : m_draft.pupils())
        m_who->addItem(login, login);
    m_who->setCurrentIndex(std::max(0, m_who->findData(m_draft.chosen())));
}

void AdaptationsDialog::choose()
{
    m_draft.choose(m_who->currentData().toString());
    showChosen();
}

void AdaptationsDialog::addTyped()
{
    const QString login = m_login->text().trimmed();
    const QString fault = m_draft.addPupil(login, accountKnown);
    m_loginProblem->setText(fault.isEmpty() ? QString() : QStringLiteral("« %1 » : %2.").arg(login, fault));
    m_loginProblem->setVisible(!fault.isEmpty());
    if (!fault.isEmpty())
        return;
    m_login->clear();
    m_draft.choose(login);
    fillPupils();
    showChosen();
}

// The form and the sample as the draft has them for the one chosen.
void AdaptationsDialog::showChosen()
{
    m_showing = true;
    const ReadingSettings shown = m_draft.settings();
    m_own->setVisible(!m_draft.choosingClass());
    m_own->setChecked(m_draft.ownSettings());
    select(m_font, int(shown.font));
    select(m_size, shown.textSizePercent);
    select(m_lineSpacing, shown.lineSpacingPercent);
    select(m_letters, shown.letterSpacingHundredths);
    select(m_words, shown.wordSpacingHundredths);
    select(m_background, int(shown.background));
    m_ruler->setChecked(shown.readingRuler);
    const bool editable = m_draft.choosingClass() || m_draft.ownSettings();
    for (QWidget *field : std::initializer_list<QWidget *>{m_font, m_size, m_lineSpacing, m_letters, m_words,
                                                           m_background, m_ruler})
        field->setEnabled(editable);
    m_sample->setSettings(shown);
    m_showing = false;
}

void AdaptationsDialog::takeForm()
{
    if (m_showing)
        return;
    m_draft.setSettings({ReadingFont(valueOf(m_font)), valueOf(m_size), valueOf(m_lineSpacing), valueOf(m_letters),
                         valueOf(m_words), PassageBackground(valueOf(m_background)), m_ruler->isChecked()});
    m_sample->setSettings(m_draft.settings());
}

bool AdaptationsDialog::save()
{
    const QList<SavedFile> problems = saveClassAdaptations(m_write, m_draft.classSettings(), m_draft.pupilEntries());
    // Written or not, what is on disk has changed: the window reads it again
    // and says what is wrong with each file.
    emit saved();
    QStringList unwritten;
    for (const SavedFile &file : problems)
        if (!file.outcome.written)
            unwritten.append(file.line());
    if (unwritten.isEmpty()) {
        m_draft.markSaved();
        return true;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Adaptations de lecture"),
                    QStringLiteral("%1 fichier(s) d'adaptations n'ont pas pu être enregistrés. Le détail dit lesquels "
                                   "et pourquoi ; ces élèves gardent ce que leur fichier disait.")
                        .arg(unwritten.size()),
                    QMessageBox::Ok, this);
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(unwritten.join(u'\n'));
    box.exec();
    return false;
}

void AdaptationsDialog::done(int result)
{
    if (result == QDialog::Rejected && m_draft.changed()
        && QMessageBox::question(this, QStringLiteral("Adaptations de lecture"),
                                 QStringLiteral("Abandonner les adaptations qui ne sont pas enregistrées ?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    QDialog::done(result);
}
