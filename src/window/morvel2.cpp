#include "window/morvel2.h"

#include "checkbox/feedbackpicture.h"
#include "checkbox/verification.h"
#include "exercise/judge.h"
#include "exercise/keyfilter.h"
#include "layout/designgeometry.h"
#include "layout/pagefonts.h"
#include "record/clipboardscore.h"
#include "record/record.h"
#include "saving/savenotices.h"
#include "window/answerbox.h"
#include "window/designfont.h"
#include "window/exercisechooser.h"
#include "window/keepalive.h"
#include "window/messagebox.h"
#include "window/pagelabel.h"
#include "window/pagewidgets.h"
#include "window/rowplacement.h"
#include "window/rulerkeys.h"
#include "window/screenfollower.h"
#include "window/twips.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QResource>
#include <QScreen>
#include <QTimer>

Morvel2::Morvel2(WindowContext context, QWidget *parent)
    : QWidget(parent)
    , m_context(std::move(context))
{
    // First: Windows resizes the window as soon as it is maximised, below.
    m_screen = new ScreenFollower(this);
    connect(m_screen, &ScreenFollower::roomChanged, this, &Morvel2::applyLayout);

    setObjectName(QStringLiteral("morvel2"));
    setWindowTitle(m_context.preview ? QStringLiteral("Aperçu – %1").arg(m_context.exercises.value(0).label)
                                     : QStringLiteral("Form1"));
    setWindowIcon(programIcon());
    setAutoFillBackground(true);
    setColour(this, QPalette::Window, DesignColours::white);
    // Shown maximised, and kept so. Where no window manager carries out the
    // maximising (a kiosk session started with xinit), the window covers the
    // screen by itself, rather than showing a corner of the passage.
    setGeometry(screen()->availableGeometry());
    setWindowState(Qt::WindowMaximized);

    if (m_context.exercises.size() > 1)
        showChooser();
    else
        startExercise(m_context.exercises.value(0, builtInExercise()));
}

Morvel2::~Morvel2() = default;

// The titles first; the chosen exercise's page is built in their place.
void Morvel2::showChooser()
{
    QStringList titles;
    for (const Exercise &exercise : m_context.exercises)
        titles.append(exercise.label);
    m_chooser = new ExerciseChooser(titles, this);
    m_chooser->setGeometry(rect());
    connect(m_chooser, &ExerciseChooser::chosen, this, [this](int index) {
        m_chooser->hide();
        m_chooser->deleteLater();
        m_chooser = nullptr;
        startExercise(m_context.exercises.at(index));
    });
}

void Morvel2::startExercise(const Exercise &exercise)
{
    m_exercise = exercise;
    createDesignControls();
    Form_Load();
    installReadingFont(m_context.reading.font);
    auto *rulerKeys = new RulerKeys(static_cast<PageLabel *>(Label1), this);
    for (AnswerBox *box : std::as_const(Text1))
        box->installEventFilter(rulerKeys);
    // The chosen exercise's page, laid out for the window as it stands.
    m_layout.reset();
    applyLayout();
    if (!isVisible())
        return; // shown with the window, the focus going to the first box
    // Controls made after the window was shown appear only when told to;
    // those start-up hid stay hidden.
    for (QWidget *control : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (control != m_chooser && !control->testAttribute(Qt::WA_WState_ExplicitShowHide))
            control->show();
    Text1.first()->setFocus(Qt::OtherFocusReason);
}

void Morvel2::createDesignControls()
{
    // Created in tab order, so that Tab follows it. Labels never take the focus.
    Command1 = new QPushButton(QStringLiteral("valider/vérifier"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::toPixels(DesignGeometry::verifyButton));
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });

    Label1 = makeLabel(this, QStringLiteral("Label1"), DesignGeometry::passage, designFont(13),
                       DesignColours::cyan);

    Picture1 = makePicture(this);

    Label2.append(makeLabel(this, elementName("Label2", 0), DesignGeometry::prompt, designFont(13),
                            DesignColours::lightGreen));

    QCheckBox *check = makeCheckBox(0);
    check->setGeometry(Twips::toPixels(DesignGeometry::checkBox));
    Check1.append(check);

    // The instruction keeps the toolkit's standard label colours.
    Label3[0] = makeLabel(this, elementName("Label3", 0), DesignGeometry::instruction, designFont(16),
                          QApplication::palette().color(QPalette::Window));
    Label3[0]->setText(QStringLiteral("Label3"));
    Label3[1] = makeLabel(this, elementName("Label3", 1), DesignGeometry::banner, designFont(13),
                          DesignColours::lightOrange, Qt::AlignHCenter);
    Label3[1]->setText(QStringLiteral("Label3"));
    setColour(Label3[1], QPalette::WindowText, DesignColours::darkBlue);

    AnswerBox *box = makeAnswerBox(0);
    box->setGeometry(Twips::toPixels(DesignGeometry::answerBox));
    m_chrome = controlChrome(box);
    colourAnswerBox(box);
    Text1.append(box);

    // Boxes, buttons and pictures are always drawn above labels.
    for (QWidget *control : std::initializer_list<QWidget *>{Command1, Picture1, check, box})
        control->raise();
}

// Answer box `index`, its typed characters filtered; its row's prompt must
// exist already.
AnswerBox *Morvel2::makeAnswerBox(int index)
{
    auto *box = new AnswerBox(index, this);
    box->setObjectName(elementName("Text1", index));
    box->setKeyFilter([this](int row, int &keyAscii) { Text1_KeyPress(row, keyAscii); });
    // A screen reader names each answer box after its prompt.
    Label2[index]->setBuddy(box);
    return box;
}

QCheckBox *Morvel2::makeCheckBox(int index)
{
    auto *check = new QCheckBox(QStringLiteral("Check1"), this);
    check->setObjectName(elementName("Check1", index));
    // Every change of the tick, by a click or by the keyboard, is one click.
    connect(check, &QCheckBox::toggled, this, [this, index] { Check1_Click(index); });
    return check;
}

QCheckBox *Morvel2::createCheckBox(int index)
{
    if (index != Check1.size() || index >= checkStateCount)
        return nullptr;
    QCheckBox *check = makeCheckBox(index);
    check->setGeometry(Check1.first()->geometry());
    check->setText(Check1.first()->text());
    check->hide();
    Check1.append(check);
    return check;
}

// A further element of each row array, copied from element 0: same place,
// size, font, colours and text; hidden until start-up places it.
void Morvel2::createQuestionRow(int index)
{
    QLabel *prompt0 = Label2.first();
    QLabel *prompt = makeLabel(this, elementName("Label2", index), {}, prompt0->font(),
                               prompt0->palette().color(QPalette::Window));
    prompt->setGeometry(prompt0->geometry());
    prompt->setText(prompt0->text());
    prompt->hide();
    Label2.append(prompt);

    AnswerBox *box0 = Text1.first();
    AnswerBox *box = makeAnswerBox(index);
    box->setGeometry(box0->geometry());
    box->setPalette(box0->palette());
    box->setText(box0->text());
    box->hide();
    Text1.append(box);
}

void Morvel2::Form_Load()
{
    const int questionCount = m_exercise.ideaCount();
    m_state.lastQuestionIndex = questionCount - 1;
    m_state.answeredCount = 0;
    m_state.questionCount = questionCount;
    for (int row = 0; row < questionCount; ++row)
        m_state.answerKey[row] = m_exercise.expectedAnswer(row);
    m_state.exerciseCode = m_exercise.code;
    m_state.exerciseLabel = m_exercise.label;
    m_state.paragraphCount = m_exercise.paragraphCount();

    Command1->hide();
    Label3[0]->setText(m_exercise.questionInstruction);
    Label3[1]->setText(m_exercise.readingInstruction);

    for (int i = 1; i <= m_state.lastQuestionIndex.number(); ++i) {
        // The check-box mode's states stop at 8.
        if (i < checkStateCount)
            m_checkBox.checkState[i] = -1;
        createQuestionRow(i);
        placeQuestionRow(*Label2[i], *Text1[i], *Text1[i - 1]);
        Text1[i]->show();
        Label2[i]->show();
    }

    Check1[0]->hide();
    // Row 0 first, then from the last row up, as the design sets them.
    for (int step = 0; step < questionCount; ++step) {
        const int row = step == 0 ? 0 : questionCount - step;
        const QString &prompt = m_exercise.ideas.at(row).prompt;
        Label2[row]->setText(prompt);
        m_state.recordCaption[std::size_t(row)] = prompt;
    }
    m_checkBox.setItemCount[0] = 5;
    Label1->setText(m_exercise.passage());
    Picture1->hide();
}

void Morvel2::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_screen->start();
    if (m_settingWarned || m_context.settingWarning.isEmpty())
        return;
    m_settingWarned = true;
    // Once the window is up, so that the box has a window to stand over.
    QTimer::singleShot(0, this, [this] { showMessage(startupNotice(m_context.settingWarning)); });
}

void Morvel2::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        Form_Resize();
}

void Morvel2::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_chooser)
        m_chooser->setGeometry(rect()); // the first page covers the window as it is now
    Form_Resize();
    applyLayout();
}

void Morvel2::Form_Resize()
{
    const Qt::WindowStates state = windowState();
    if (state.testFlag(Qt::WindowMaximized) && !state.testFlag(Qt::WindowMinimized))
        return;
    setWindowState((state & ~Qt::WindowMinimized) | Qt::WindowMaximized);
}

void Morvel2::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void Morvel2::Form_Unload(bool &cancel)
{
    // Silently: a pupil who tries to leave early is simply kept at the task.
    if (m_state.exerciseFinished != 1 && !m_context.preview)
        cancel = true;
}

void Morvel2::Text1_KeyPress(int Index, int &KeyAscii)
{
    const bool locked = m_state.answerLocked[Index] == 1;
    switch (filterKey(locked, static_cast<char32_t>(KeyAscii), m_state.paragraphCount)) {
    case KeyAction::ShowExpected:
        KeyAscii = 0;
        Text1[Index]->setText(m_state.answerKey[Index].text());
        return;
    case KeyAction::Discard:
        KeyAscii = 0;
        return;
    case KeyAction::Commit:
        KeyAscii = 0;
        m_state.typedAnswer[Index] = committedAnswer(Text1[Index]->text());
        CheckAnswer(Index);
        return;
    case KeyAction::Accept:
        return;
    }
}

void Morvel2::CheckAnswer(int Index)
{
    Text1[Index]->setEnabled(false);
    m_state.answerLocked[Index] = 1;
    m_state.answeredCount = m_state.answeredCount + 1;

    const Judgement judgement = judgeAnswer(m_state.typedAnswer[Index].text(), m_state.answerKey[Index].text(),
                                            paragraphNumbers(m_state.paragraphCount));
    if (judgement.accentReminder)
        showMessage(QStringLiteral("Pense aux accents!"));

    switch (judgement.verdict) {
    case Verdict::Right:
        // Shown with its proper accents and case.
        Text1[Index]->setText(m_state.answerKey[Index].text());
        m_state.rightCount = m_state.rightCount + 1;
        m_state.rightTally[Index] = m_state.rightTally[Index] + 1;
        break;
    case Verdict::Wrong:
        m_state.wrongCount = m_state.wrongCount + 1;
        break;
    case Verdict::Neither:
        break;
    }

    if (m_state.answeredCount.number() >= m_state.questionCount.number())
        FinishExercise();
    else
        FocusNextAnswer();
}

void Morvel2::FocusNextAnswer()
{
    int target = 0;
    for (int row = 0; row < m_state.questionCount.number(); ++row) {
        if (m_state.answerLocked[row] == 0) {
            target = row;
            break;
        }
    }
    Text1[target]->setFocus();
}

void Morvel2::FinishExercise()
{
    m_state.exerciseFinished = 1;
    m_state.handoffScore = m_checkBox.totalHits - m_checkBox.totalMisses;
    const bool recordSaved = m_context.preview || WriteResults();
    showMessage(QStringLiteral("Tu es arrivé au bout!\nMerci ."));
    if (m_context.preview)
        close();
    else
        emit programEnded(recordSaved ? 0 : 1);
}

bool Morvel2::WriteResults()
{
    const RecordFields fields = recordFields(m_state);
    RecordWriters writers = m_context.writers;
    writers.run = runKeepingWindowsAlive;
    const SaveOutcome saved =
        saveRecord(m_context.results, recordLine(fields), recordText(fields),
                   [this](const QString &log, const QString &reason) { return askToRetry(log, reason); }, writers);
    if (const QString notice = savedElsewhereNotice(saved); !notice.isEmpty())
        showMessage(notice);

    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(clipboardScore(m_state.handoffScore));
    return saved.inLog();
}

void Morvel2::Check1_Click(int Index)
{
    m_checkBox.toggle(Index);
}

void Morvel2::Command1_Click()
{
    const std::optional<Verification> verification = verifyCurrentSet(m_checkBox);
    if (!verification) {
        // Past the last set there is nothing left to judge.
        Command1->hide();
        return;
    }
    // The totals take the place of the first two prompts, in the record too.
    m_state.recordCaption[0] = verification->hitsCaption;
    m_state.recordCaption[1] = verification->missesCaption;
    Label2[0]->setText(verification->hitsCaption);
    if (Label2.size() > 1)
        Label2[1]->setText(verification->missesCaption);
    Picture1->setPixmap(feedbackPicture(m_context.driveRoot, verification->picturePath));
    Picture1->show();
    showMessage(verification->message, verification->title);
    m_checkBox.currentSet = m_checkBox.currentSet + 1;
    Command1->hide();
}

bool Morvel2::askToRetry(const QString &path, const QString &reason)
{
    return askToRetryBox(this, retryNotice(path, reason), messageFont());
}

void Morvel2::showMessage(const QString &text, const QString &title)
{
    showMessageBox(this, text, title, messageFont());
}

PageControls Morvel2::pageControls() const
{
    return {Label3[1], Label1, Label3[0], Label2, Text1, Command1, Check1.first(), Picture1};
}

// The page for the window's size, once it is on the screen (the design's
// controls stand as designed until then); applied only when it changed, so
// that the design's page is placed once.
void Morvel2::applyLayout()
{
    // Nothing to lay out while the pupil chooses the exercise.
    if (Text1.isEmpty() || !m_screen->exposed() || (m_layout && m_layoutSize == size()))
        return;
    m_layoutSize = size();
    PageLayout layout = layOutPage(m_exercise, m_context.reading, m_context.page, size(), m_chrome);
    if (m_layout == layout)
        return;
    m_layout = std::move(layout);
    applyPageLayout(*m_layout, m_context.reading, pageControls());
}

std::optional<QFont> Morvel2::messageFont() const
{
    if (!m_layout || m_layout->kind == PageLayout::Kind::Design)
        return std::nullopt;
    return m_layout->messageFont;
}
