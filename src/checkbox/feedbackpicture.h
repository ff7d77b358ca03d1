#pragma once

#include <QPixmap>
#include <QString>

#include <filesystem>

// The picture shown after a verification, loaded from its fixed "c:\..."
// path, the root of drive C being `driveRoot`. When that file is missing or
// is no picture, the built-in picture of the same name is shown instead, so
// that a verification always completes.
QPixmap feedbackPicture(const std::filesystem::path &driveRoot, const QString &windowsPath);
