#pragma once

#include <QString>
#include <QStringList>

class QLabel;

// The editor's word beside a field at fault: plain text, in a dark red
// that keeps its contrast on the window's background, hidden when there is
// nothing to say.
QLabel *faultLabel();

// Shows these faults, one a line, each a sentence; hides the label without.
void showFaults(QLabel *label, const QStringList &faults);
