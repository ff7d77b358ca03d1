#pragma once

#include <QFont>
#include <QString>

#include <optional>

class QWidget;

// The exercise's modal message boxes: an OK button only and no icon, or the
// question whether to try saving again. Each is at least as wide as its
// title needs once a window manager has put its icon and buttons beside it:
// the closing box's "morvel2" was cut to "mo…l2" under openbox. Their text is
// in `font` where one is given: as large as the page they stand over.

void showMessageBox(QWidget *parent, const QString &text, const QString &title,
                    const std::optional<QFont> &font = std::nullopt);

// True when the person chose to try again.
bool askToRetryBox(QWidget *parent, const QString &text, const std::optional<QFont> &font = std::nullopt);

// The width a box's title needs: the text in the title bar's bold face and,
// beside it, a window manager's icon and three buttons, each about a title
// bar's height square, with their margins.
int titleRoom(const QString &title);
