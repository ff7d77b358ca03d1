#pragma once

#include <QPixmap>
#include <QString>

// The picture shown after a verification, loaded from its fixed "c:\..."
// path. When that file is missing or is no picture, the built-in picture of
// the same name is shown instead, so that a verification always completes.
QPixmap feedbackPicture(const QString &windowsPath);
