#include "app/consolestream.h"
#include "app/consolestream_win.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace {

bool usable(HANDLE handle)
{
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// The console's fonts (Consolas, Lucida Console, the raster fonts of old)
// have no ✓ nor ✗ and draw both as the same box; they all have × and the
// first two have √. The legends the commands print go through here too, so
// they name the marks shown.
QString withConsoleMarks(QString text)
{
    return text.replace(QChar(0x2713), QChar(0x221A)).replace(QChar(0x2717), QChar(0x00D7));
}

} // namespace

ConsoleStream::ConsoleStream(void *handle)
    : m_handle(handle)
{
    DWORD mode = 0;
    m_console = usable(m_handle) && GetConsoleMode(m_handle, &mode);
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 ConsoleStream::readData(char *, qint64)
{
    return -1;
}

// A program started without the stream (the window's, from a shortcut) has
// nowhere to say anything: what it says is not a failure.
qint64 ConsoleStream::writeData(const char *data, qint64 size)
{
    if (!usable(m_handle) || size <= 0)
        return size;
    if (m_console)
        return writeConsole(data, size) ? size : -1;
    if (m_markDue) {
        m_markDue = false;
        if (atStartOfFile() && !writeBytes("\xEF\xBB\xBF"))
            return -1;
    }
    return writeBytes(withCarriageReturns(data, size)) ? size : -1;
}

// Notepad of old and many Windows tools see a bare LF as no line end at all.
QByteArray ConsoleStream::withCarriageReturns(const char *data, qint64 size)
{
    QByteArray bytes;
    bytes.reserve(size + size / 16);
    for (const char c : QByteArrayView(data, size)) {
        if (c == '\n' && !m_afterCarriageReturn)
            bytes.append('\r');
        bytes.append(c);
        m_afterCarriageReturn = c == '\r';
    }
    return bytes;
}

bool ConsoleStream::atStartOfFile() const
{
    if (GetFileType(m_handle) != FILE_TYPE_DISK)
        return true;
    LARGE_INTEGER position{};
    return SetFilePointerEx(m_handle, LARGE_INTEGER{}, &position, FILE_CURRENT) && position.QuadPart == 0;
}

bool ConsoleStream::writeBytes(QByteArrayView bytes)
{
    const char *data = bytes.data();
    qint64 size = bytes.size();
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<qint64>(size, 1 << 20));
        if (!WriteFile(m_handle, data, chunk, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// In pieces: old consoles refuse one write of more than 64 KB.
bool ConsoleStream::writeConsole(const char *data, qint64 size)
{
    const QString text = withConsoleMarks(m_decoder.decode(QByteArrayView(data, size)));
    const auto *characters = reinterpret_cast<const wchar_t *>(text.utf16());
    qsizetype left = text.size();
    while (left > 0) {
        DWORD written = 0;
        const DWORD chunk = DWORD(std::min<qsizetype>(left, 8192));
        if (!WriteConsoleW(m_handle, characters, chunk, &written, nullptr) || written == 0)
            return false;
        characters += written;
        left -= written;
    }
    return true;
}

std::unique_ptr<QIODevice> openStandardStream(StandardStream stream)
{
    return std::make_unique<ConsoleStream>(
        GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE));
}
