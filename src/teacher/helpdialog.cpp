#include "teacher/helpdialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpDialog::HelpDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Aide – résultats de la classe"));
    auto *text = new QTextBrowser;
    QFile guide(QStringLiteral(":/docs/enseignant.md"));
    if (guide.open(QIODevice::ReadOnly))
        text->setMarkdown(QString::fromUtf8(guide.readAll()));
    // Named here: Qt's own French is not installed everywhere (Windows).
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("Fermer"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(text, 1);
    layout->addWidget(buttons);
    resize(720, 640);
}
