#include "app/consolestream.h"
#include "app/program.h"
#include "app/windowlaunch.h"
#include "cli/commandline.h"
#include "cli/exercisecommand.h"
#include "cli/say.h"
#include "logfile/openlock_win.h"

#include <QDir>

#include <string>

// morvel2.com, the console side of morvel2.exe, which is a window program:
// cmd neither waits for that nor gives it the console. Typed as "morvel2"
// in cmd, this one is found first (.COM comes before .EXE in PATHEXT). It
// answers the commands itself, so that cmd waits, shows the French and
// sets %ERRORLEVEL%; a window it leaves to morvel2.exe beside it.

namespace {

// The arguments exactly as typed, after the program's own name, which
// Windows reads by rules of its own: up to the closing quote when it
// starts with one, otherwise up to the first space or tab.
std::wstring argumentsAsTyped()
{
    const wchar_t *line = GetCommandLineW();
    if (*line == L'"') {
        for (++line; *line && *line != L'"'; ++line) {}
        if (*line)
            ++line;
    } else {
        for (; *line && *line != L' ' && *line != L'\t'; ++line) {}
    }
    for (; *line == L' ' || *line == L'\t'; ++line) {}
    return line;
}

std::wstring windowProgram()
{
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), DWORD(self.size())));
    return self.substr(0, self.find_last_of(L'\\') + 1) + L"morvel2.exe";
}

// Started on its own, with no console: closing this one's leaves the
// window open, and Ctrl+C typed there does not reach it.
int startWindow()
{
    const std::wstring program = windowProgram();
    std::wstring commandLine = L'"' + program + L'"';
    if (const std::wstring typed = argumentsAsTyped(); !typed.empty())
        commandLine += L' ' + typed;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        DETACHED_PROCESS | CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process)) {
        const std::string reason = logfile::win::systemReason(GetLastError());
        const std::unique_ptr<QIODevice> err = openStandardStream(StandardStream::Error);
        if (err)
            complain(*err, QStringLiteral("%1 n'a pas pu être lancé : %2.\n")
                               .arg(QDir::toNativeSeparators(QString::fromStdWString(program)),
                                    QString::fromStdString(reason)));
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QStringList arguments = commandLineArguments(argc, argv);
    // A file that is no exercise is said here, where cmd shows it and waits.
    if (const std::optional<QString> file = exerciseFileArgument(arguments)) {
        const std::unique_ptr<QIODevice> err = openStandardStream(StandardStream::Error);
        if (!err || !exerciseOfArgument(*file, *err))
            return 2;
    }
    if (opensWindow(arguments))
        return startWindow();
    return runProgram(argc, argv);
}
