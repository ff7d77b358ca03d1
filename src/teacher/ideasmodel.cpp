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
    endResetModel();
}

int IdeasModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_questions.size());
}

int IdeasModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

std::optional<AnswerChoice> IdeasModel::choiceAt(const QModelIndex &index)
{
    if (!index.isValid() || index.column() < Chose1 || index.column() > Other)
        return std::nullopt;
    return static_cast<AnswerChoice>(index.column() - Chose1);
}

QVariant IdeasModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_questions.size())
        return {};
    const QuestionSummary &question = m_questions.at(index.row());
    const std::optional<AnswerChoice> choice = choiceAt(index);
    const int count = choice ? question.spread[std::size_t(*choice)] : 0;
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
    return ideaHeaders().value(section);
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
