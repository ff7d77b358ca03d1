#include "teacher/idearows.h"

#include "exercise/exercise.h"
#include "teacher/faultlabel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

IdeaRows::IdeaRows(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
    , m_add(new QPushButton(QStringLiteral("&Ajouter une idée")))
    , m_fault(faultLabel())
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_add->setObjectName(QStringLiteral("addIdea"));
    m_fault->setObjectName(QStringLiteral("ideasFault"));
    auto *below = new QHBoxLayout;
    below->addWidget(m_add);
    below->addStretch(1);
    m_layout->addLayout(below);
    m_layout->addWidget(m_fault);
    connect(m_add, &QPushButton::clicked, this, [this] {
        addRow();
        m_rows.last().text->setFocus();
    });
}

void IdeaRows::setIdeas(const QList<Idea> &ideas)
{
    while (!m_rows.isEmpty())
        removeRow(m_rows.last().box);
    for (const Idea &idea : ideas) {
        addRow();
        m_rows.last().text->setText(idea.prompt);
        fillList(m_rows.last().paragraph, idea.paragraph);
    }
}

void IdeaRows::addRow()
{
    if (m_rows.size() >= maxIdeas)
        return;
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *line = new QHBoxLayout;
    auto *number = new QLabel;
    auto *text = new QLineEdit;
    auto *list = new QComboBox;
    // Wide enough for a paragraph's first words; the idea keeps its room.
    list->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    list->setMinimumContentsLength(24);
    auto *remove = new QPushButton(QStringLiteral("Retirer"));
    line->addWidget(number);
    line->addWidget(text, 1);
    line->addWidget(new QLabel(QStringLiteral("se trouve au")));
    line->addWidget(list);
    line->addWidget(remove);
    layout->addLayout(line);
    QLabel *fault = faultLabel();
    layout->addWidget(fault);
    m_layout->insertWidget(int(m_rows.size()), box);
    m_rows.append({box, number, text, list, remove, fault});
    chainFocusAfter(m_before);
    fillList(list, 0);
    connect(text, &QLineEdit::textChanged, this, &IdeaRows::changed);
    connect(list, &QComboBox::currentIndexChanged, this, &IdeaRows::changed);
    connect(remove, &QPushButton::clicked, this, [this, box] {
        removeRow(box);
        emit changed();
    });
    renumber();
    emit changed();
}

void IdeaRows::chainFocusAfter(QWidget *before)
{
    m_before = before;
    QWidget *last = before;
    const auto next = [&last](QWidget *widget) {
        if (last)
            setTabOrder(last, widget);
        last = widget;
    };
    for (const Row &row : std::as_const(m_rows)) {
        next(row.text);
        next(row.paragraph);
        next(row.remove);
    }
    next(m_add);
}

void IdeaRows::removeRow(QWidget *box)
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].box == box) {
            m_rows.removeAt(i);
            box->deleteLater();
            box->hide();
            break;
        }
    }
    renumber();
}

void IdeaRows::renumber()
{
    for (qsizetype i = 0; i < m_rows.size(); ++i) {
        const Row &row = m_rows[i];
        const QString name = QStringLiteral("Idée %1").arg(i + 1);
        row.number->setText(name);
        row.text->setObjectName(QStringLiteral("idea%1").arg(i));
        row.text->setAccessibleName(name);
        row.paragraph->setObjectName(QStringLiteral("ideaParagraph%1").arg(i));
        row.paragraph->setAccessibleName(QStringLiteral("Paragraphe de l'idée %1").arg(i + 1));
        row.remove->setAccessibleName(QStringLiteral("Retirer l'idée %1").arg(i + 1));
        row.fault->setObjectName(QStringLiteral("ideaFault%1").arg(i));
    }
    m_add->setEnabled(m_rows.size() < maxIdeas);
}

QList<DraftIdea> IdeaRows::ideas() const
{
    QList<DraftIdea> ideas;
    for (const Row &row : m_rows)
        ideas.append({row.text->text().trimmed(), row.paragraph->currentData().toInt(), 0});
    return ideas;
}

// "paragraphe 2 : Les trente-deux albums…", or a paragraph the passage no
// longer has, kept so that the fault shows beside the idea.
void IdeaRows::fillList(QComboBox *list, int chosen) const
{
    const QSignalBlocker quiet(list);
    list->clear();
    list->addItem(QStringLiteral("choisir le paragraphe"), 0);
    const int count = std::max<int>(int(m_paragraphs.size()), chosen);
    for (int number = 1; number <= count; ++number) {
        const QString start = m_paragraphs.value(number - 1);
        list->addItem(start.isEmpty() ? QStringLiteral("paragraphe %1 (il n'existe pas)").arg(number)
                                      : QStringLiteral("paragraphe %1 : %2").arg(number).arg(
                                            start.size() > 32 ? start.first(32) + QStringLiteral("…") : start),
                      number);
    }
    list->setCurrentIndex(std::max(0, list->findData(chosen)));
}

void IdeaRows::setParagraphs(const QStringList &paragraphs)
{
    if (paragraphs == m_paragraphs)
        return;
    m_paragraphs = paragraphs;
    for (const Row &row : std::as_const(m_rows))
        fillList(row.paragraph, row.paragraph->currentData().toInt());
}

void IdeaRows::setFaults(const QList<ExerciseFault> &faults)
{
    QList<QStringList> byRow(m_rows.size());
    QStringList others;
    for (const ExerciseFault &fault : faults) {
        if (fault.field != ExerciseField::Idea)
            continue;
        if (fault.index >= 0 && fault.index < m_rows.size())
            byRow[fault.index].append(fault.text);
        else
            others.append(fault.text);
    }
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        showFaults(m_rows[i].fault, byRow[i]);
    showFaults(m_fault, others);
}

QLineEdit *IdeaRows::text(int row) const
{
    return m_rows.value(row).text;
}

QComboBox *IdeaRows::paragraph(int row) const
{
    return m_rows.value(row).paragraph;
}
