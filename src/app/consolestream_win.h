#pragma once

#include <QIODevice>
#include <QStringDecoder>

// One Windows handle as openStandardStream() describes it: UTF-16 to a
// console, with marks its font shows; a byte-order mark then UTF-8 with
// CR LF line ends to anything else; nothing at all without a handle. The
// mark is written before the first text, and only at the start of a file:
// with "> out.txt 2>&1" both streams share the file, and ">>" adds to one
// that has its mark already. A pipe gets one per stream. The handle stays
// the caller's.
class ConsoleStream : public QIODevice
{
public:
    explicit ConsoleStream(void *handle);

    bool isConsole() const { return m_console; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool writeBytes(QByteArrayView bytes);
    QByteArray withCarriageReturns(const char *data, qint64 size);
    bool writeConsole(const char *data, qint64 size);
    bool atStartOfFile() const;

    void *m_handle;
    bool m_console = false;
    bool m_markDue = true;
    // Kept from write to write: a CR LF may come in two.
    bool m_afterCarriageReturn = false;
    // Kept from write to write: a character may come in two.
    QStringDecoder m_decoder{QStringDecoder::Utf8};
};
