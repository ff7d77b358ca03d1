#pragma once

#include "offered/exerciselibrary.h"

#include <QAbstractTableModel>

// The teacher's exercises as a table: the built-in one first, then each
// file of the folder: its title, code, file, paragraphs and ideas, whether
// the pupils are offered it, and what keeps it from being used.
class ExercisesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Title, Code, File, Paragraphs, Ideas, Offered, Problem, ColumnCount };

    explicit ExercisesModel(QObject *parent = nullptr);

    void setLibrary(const ExerciseLibrary &library);
    const ExerciseLibrary &library() const { return m_library; }
    // Row 0 is the built-in exercise; row r > 0 is entry r - 1.
    static bool isBuiltIn(int row) { return row == 0; }
    const LibraryEntry *entry(int row) const;
    // The exercise of a row, when it could be read.
    std::optional<Exercise> exerciseAt(int row) const;
    // The row of a file, or -1.
    int rowOf(const QString &file) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString text(int row, int column) const;
    bool builtInOffered() const;

    ExerciseLibrary m_library;
};
