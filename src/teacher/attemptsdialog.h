#pragma once

#include "classroom/classreport.h"

#include <QDialog>

// One pupil's attempts, in the order they were made, as rows of the same
// table as the class's.
class AttemptsDialog : public QDialog
{
    Q_OBJECT

public:
    AttemptsDialog(const ClassReport &report, qsizetype row, QWidget *parent = nullptr);
};

// The attempts of report row `row` as a report of their own, one row each.
ClassReport attemptsOf(const ClassReport &report, qsizetype row);
