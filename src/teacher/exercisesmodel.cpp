#include "teacher/exercisesmodel.h"

#include <QBrush>
#include <QColor>

#include <algorithm>

ExercisesModel::ExercisesModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void ExercisesModel::setLibrary(const ExerciseLibrary &library)
{
    beginResetModel();
    m_library = library;
    endResetModel();
}

const LibraryEntry *ExercisesModel::entry(int row) const
{
    return row >= 1 && row <= m_library.entries.size() ? &m_library.entries[row - 1] : nullptr;
}

std::optional<Exercise> ExercisesModel::exerciseAt(int row) const
{
    if (isBuiltIn(row))
        return builtInExercise();
    const LibraryEntry *file = entry(row);
    return file ? file->exercise : std::nullopt;
}

int ExercisesModel::rowOf(const QString &file) const
{
    const int index = m_library.indexOf(file);
    return index < 0 ? -1 : index + 1;
}

// The pupils get it when no exercise of the choice can be used.
bool ExercisesModel::builtInOffered() const
{
    return std::none_of(m_library.entries.cbegin(), m_library.entries.cend(), [](const LibraryEntry &file) {
        return file.offered && file.exercise && file.problem.isEmpty();
    });
}

int ExercisesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_library.entries.size()) + 1;
}

int ExercisesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ExercisesModel::text(int row, int column) const
{
    const LibraryEntry *file = entry(row);
    const std::optional<Exercise> exercise = exerciseAt(row);
    switch (column) {
    case Title: return exercise ? exercise->label : QString();
    case Code: return exercise ? exercise->code : QString();
    case File: return file ? file->file : QStringLiteral("livré avec le programme");
    case Paragraphs: return exercise ? QString::number(exercise->paragraphCount()) : QString();
    case Ideas: return exercise ? QString::number(exercise->ideaCount()) : QString();
    case Offered:
        if (isBuiltIn(row))
            return builtInOffered() ? QStringLiteral("oui : aucun autre ne l'est") : QStringLiteral("non");
        return file && file->offered ? QStringLiteral("oui") : QStringLiteral("non");
    case Problem: return file ? file->problem : QString();
    default: return {};
    }
}

QVariant ExercisesModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    switch (role) {
    case Qt::DisplayRole: {
        // A long problem on its first line; all of it in the tooltip.
        const QString shown = text(index.row(), index.column());
        return index.column() == Problem ? shown.section(u'\n', 0, 0) : shown;
    }
    case Qt::ToolTipRole:
        return index.column() == Problem ? text(index.row(), index.column()) : QVariant();
    case Qt::ForegroundRole:
        if (index.column() == Problem)
            return QBrush(QColor(0xA0, 0x10, 0x10));
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == Code || index.column() == Paragraphs || index.column() == Ideas)
            return int(Qt::AlignCenter);
        return {};
    default: return {};
    }
}

QVariant ExercisesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Title: return QStringLiteral("Titre");
    case Code: return QStringLiteral("Code");
    case File: return QStringLiteral("Fichier");
    case Paragraphs: return QStringLiteral("Paragraphes");
    case Ideas: return QStringLiteral("Idées");
    case Offered: return QStringLiteral("Proposé aux élèves");
    case Problem: return QStringLiteral("Problème");
    default: return {};
    }
}
