#pragma once

#include <QIODevice>

#include <memory>

enum class StandardStream { Output, Error };

// Standard output or error, opened for the commands' French (UTF-8 in). On
// Windows a console receives it as UTF-16 through WriteConsoleW, so that cmd
// shows é and – whatever its code page, with √ and × for ✓ and ✗, which no
// console font has; a file or a pipe receives UTF-8 after a byte-order mark,
// which Notepad and PowerShell need to read it as UTF-8, with CR LF line
// ends; a stream the program was started without swallows it. Elsewhere the
// bytes go as they are. Null when the stream cannot be opened.
std::unique_ptr<QIODevice> openStandardStream(StandardStream stream);
