#include "teacher/ideasmodel.h"

#include "classroom/reportcells.h"

IdeasModel::IdeasModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void IdeasModel::setReport(const ClassReport &report)
{
    beginResetModel();
    m_questions = report.questions();
    m_choices = report.known() ? answerChoices(report.paragraphCount()) : QList<AnswerChoice>();
    endResetModel();
}

int IdeasModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_questions.size());
}

int IdeasModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Chose1 + int(m_choices.size());
}

std::optional<AnswerChoice> IdeasModel::choiceAt(const QModelIndex &index)
{
    const QVariant choice = index.data(ChoiceRole);
    return choice.isValid() ? std::optional(AnswerChoice(choice.toInt())) : std::nullopt;
}

std::optional<AnswerChoice> IdeasModel::choiceOf(int column) const
{
    if (column < Chose1 || column >= columnCount())
        return std::nullopt;
    return m_choices.at(column - Chose1);
}

int IdeasModel::columnOf(AnswerChoice choice) const
{
    const qsizetype found = m_choices.indexOf(choice);
    return found < 0 ? -1 : Chose1 + int(found);
}

QVariant IdeasModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_questions.size())
        return {};
    const QuestionSummary &question = m_questions.at(index.row());
    const std::optional<AnswerChoice> choice = choiceOf(index.column());
    const int count = choice ? question.count(*choice) : 0;
    const bool expected = choice && isExpectedChoice(question, *choice);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        switch (index.column()) {
        case Idea:
            return index.row() + 1;
        case Prompt:
            return question.prompt;
        case Expected:
            return question.expected;
        case Right:
            return QStringLiteral("%1/%2").arg(question.right).arg(question.pupils);
        default:
            return spreadCell(question, *choice);
        }
    case SpreadRole:
        return choice && question.pupils > 0 ? double(count) / question.pupils : 0.0;
    case ChoiceRole:
        return choice ? QVariant(int(*choice)) : QVariant();
    case ExpectedRole:
        return expected;
    case Qt::TextAlignmentRole:
        return index.column() == Prompt ? int(Qt::AlignLeft | Qt::AlignVCenter) : int(Qt::AlignCenter);
    case Qt::ToolTipRole:
        return choice && count > 0 ? QStringLiteral("Cliquer pour voir qui a donné cette réponse") : QVariant();
    }
    return {};
}

QVariant IdeasModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return ideaHeaders(int(m_choices.size()) - 2).value(section);
}

QString choiceName(AnswerChoice choice)
{
    switch (choice) {
    case AnswerChoice::Blank:
        return QStringLiteral("sans réponse");
    case AnswerChoice::Other:
        return QStringLiteral("une autre réponse");
    default:
        return QStringLiteral("le paragraphe %1").arg(paragraphNumber(choice));
    }
}
