#pragma once

#include <QDialog>

// The teacher's guide, as it is installed beside the program, in a window.
class HelpDialog : public QDialog
{
    Q_OBJECT

public:
    explicit HelpDialog(QWidget *parent = nullptr);
};
