#include "app/consolestream_win.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <windows.h>

// What the commands print, as a Windows console, a file or a pipe receives
// it: the same French characters in UTF-16, ✓ and ✗ as marks the console's
// fonts have, or in UTF-8 after one mark, lines ended by CR LF.
class TestConsoleStream : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fileGetsOneMark_data();
    void fileGetsOneMark();
    void pipeGetsMarkThenUtf8();
    void noHandleSwallowsText();
    void consoleGetsUtf16();

private:
    HANDLE createFile(DWORD disposition) const;
    static QByteArray marked(const QString &text);
    static QByteArray crlf(const QString &text);

    std::unique_ptr<QTemporaryDir> m_dir;
};

namespace {

// Every character the commands' French needs beyond ASCII, and one the
// console cannot take from an 8-bit code page.
const QString french = QStringLiteral("é è ✓ ✗ – à ç\n");

void write(QIODevice &stream, const QByteArray &bytes)
{
    QCOMPARE(stream.write(bytes), bytes.size());
}

QByteArray contents(const QTemporaryDir &dir)
{
    QFile file(dir.filePath(QStringLiteral("out.txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

void TestConsoleStream::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

HANDLE TestConsoleStream::createFile(DWORD disposition) const
{
    const QString path = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("out.txt")));
    return CreateFileW(reinterpret_cast<const wchar_t *>(path.utf16()), GENERIC_READ | GENERIC_WRITE,
                       FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

QByteArray TestConsoleStream::crlf(const QString &text)
{
    return QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n")).toUtf8();
}

QByteArray TestConsoleStream::marked(const QString &text)
{
    return QByteArray("\xEF\xBB\xBF") + crlf(text);
}

// "> out.txt", "> out.txt 2>&1" (both streams one file), ">> out.txt" onto
// what an earlier run wrote: one mark at the very start, UTF-8 after it,
// each line ended by one CR LF.
void TestConsoleStream::fileGetsOneMark_data()
{
    QTest::addColumn<QByteArray>("earlier");
    QTest::addColumn<int>("streams");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("split");
    QTest::newRow("a new file, a character split between writes") << QByteArray() << 1 << french << 4;
    QTest::newRow("both streams into one file") << QByteArray() << 2 << french << 3;
    QTest::newRow("added to") << marked(QStringLiteral("hier\n")) << 1 << french << 3;
    QTest::newRow("a CR LF split between writes stays one") << QByteArray() << 1 << QStringLiteral("un\r\ndeux\n\n")
                                                            << 3;
}

void TestConsoleStream::fileGetsOneMark()
{
    QFETCH(QByteArray, earlier);
    QFETCH(int, streams);
    QFETCH(QString, text);
    QFETCH(int, split);
    QFile before(m_dir->filePath(QStringLiteral("out.txt")));
    QVERIFY(before.open(QIODevice::WriteOnly));
    before.write(earlier);
    before.close();
    const HANDLE file = createFile(OPEN_EXISTING);
    QVERIFY(file != INVALID_HANDLE_VALUE);
    QVERIFY(SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END));
    {
        ConsoleStream out(file);
        ConsoleStream err(file);
        QVERIFY(!out.isConsole());
        const QByteArray bytes = text.toUtf8();
        write(out, bytes.left(split));
        write(streams == 2 ? err : out, bytes.mid(split));
    }
    CloseHandle(file);
    QCOMPARE(contents(*m_dir), earlier.isEmpty() ? marked(text) : earlier + crlf(text));
}

void TestConsoleStream::pipeGetsMarkThenUtf8()
{
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    QVERIFY(CreatePipe(&readEnd, &writeEnd, nullptr, 1 << 16));
    {
        ConsoleStream stream(writeEnd);
        QVERIFY(!stream.isConsole());
        write(stream, french.toUtf8());
        write(stream, QByteArrayLiteral("fin\n"));
    }
    CloseHandle(writeEnd);
    QByteArray received(256, '\0');
    DWORD size = 0;
    QVERIFY(ReadFile(readEnd, received.data(), DWORD(received.size()), &size, nullptr));
    CloseHandle(readEnd);
    received.resize(size);
    QCOMPARE(received, marked(french + QStringLiteral("fin\n")));
}

// morvel2.exe started from a shortcut has no standard output at all.
void TestConsoleStream::noHandleSwallowsText()
{
    for (HANDLE handle : {HANDLE(nullptr), INVALID_HANDLE_VALUE}) {
        ConsoleStream stream(handle);
        QVERIFY(stream.isOpen());
        write(stream, french.toUtf8());
    }
}

// A character split between two writes still arrives whole; ✓ and ✗ come
// as √ and ×.
void TestConsoleStream::consoleGetsUtf16()
{
    HANDLE screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                              CONSOLE_TEXTMODE_BUFFER, nullptr);
    if (screen == INVALID_HANDLE_VALUE && AllocConsole())
        screen = CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, 0, nullptr, CONSOLE_TEXTMODE_BUFFER,
                                           nullptr);
    // Wine gives a console only to a program started on a terminal: the
    // test's second run has one, and must not skip.
    if (screen == INVALID_HANDLE_VALUE && qEnvironmentVariableIsSet("MORVEL2_CONSOLE_EXPECTED"))
        QFAIL("no console, though the test was started on a terminal");
    if (screen == INVALID_HANDLE_VALUE)
        QSKIP("no console to write to (started on no terminal)");
    const QString line = french.trimmed();
    {
        ConsoleStream stream(screen);
        QVERIFY(stream.isConsole());
        const QByteArray bytes = line.toUtf8();
        write(stream, bytes.left(1));
        write(stream, bytes.mid(1, 3));
        write(stream, bytes.mid(4));
    }
    std::wstring shown(line.size(), L'\0');
    DWORD read = 0;
    QVERIFY(ReadConsoleOutputCharacterW(screen, shown.data(), DWORD(shown.size()), COORD{0, 0}, &read));
    CloseHandle(screen);
    QCOMPARE(QString::fromStdWString(shown.substr(0, read)), QStringLiteral("é è √ × – à ç"));
}

QTEST_GUILESS_MAIN(TestConsoleStream)
#include "tst_consolestream.moc"
