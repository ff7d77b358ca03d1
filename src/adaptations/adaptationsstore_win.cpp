#include "adaptations/adaptationsstore.h"

#include "logfile/openlock_win.h"
#include "logfile/reasons.h"

#include <aclapi.h>
#include <windows.h>

#include <vector>

namespace win = logfile::win;

namespace {

// The account `login` names, as this machine or its domain knows it.
std::vector<BYTE> sidOf(const QString &login)
{
    const std::wstring name = login.toStdWString();
    DWORD sidSize = 0;
    DWORD domainSize = 0;
    SID_NAME_USE use{};
    LookupAccountNameW(nullptr, name.c_str(), nullptr, &sidSize, nullptr, &domainSize, &use);
    if (sidSize == 0)
        return {};
    std::vector<BYTE> sid(sidSize);
    std::vector<wchar_t> domain(domainSize + 1);
    if (!LookupAccountNameW(nullptr, name.c_str(), sid.data(), &sidSize, domain.data(), &domainSize, &use))
        return {};
    return sid;
}

// The file's own access list, inheriting nothing from its folder: this
// account (the teacher) full control, the pupil's account read.
QString givePupilAlone(HANDLE file, const QString &pupil)
{
    std::vector<BYTE> pupilSid = sidOf(pupil);
    if (pupilSid.empty())
        return QStringLiteral("aucun compte « %1 » n'est connu de cette machine : le fichier reste lisible par vous "
                              "seul")
            .arg(pupil);
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return QString::fromStdString(win::systemReason(GetLastError()));
    const win::Handle tokenHandle(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, user.data(), size, &size))
        return QString::fromStdString(win::systemReason(GetLastError()));
    EXPLICIT_ACCESSW grants[2]{};
    const auto grant = [](EXPLICIT_ACCESSW &entry, DWORD rights, PSID sid) {
        entry.grfAccessPermissions = rights;
        entry.grfAccessMode = SET_ACCESS;
        entry.grfInheritance = NO_INHERITANCE;
        entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entry.Trustee.TrusteeType = TRUSTEE_IS_USER;
        entry.Trustee.ptstrName = static_cast<LPWSTR>(sid);
    };
    grant(grants[0], GENERIC_ALL, reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid);
    grant(grants[1], GENERIC_READ, pupilSid.data());
    PACL list = nullptr;
    DWORD error = SetEntriesInAclW(2, grants, nullptr, &list);
    if (error == ERROR_SUCCESS) {
        error = SetSecurityInfo(file, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                nullptr, nullptr, list, nullptr);
        LocalFree(list);
    }
    return error == ERROR_SUCCESS ? QString() : QString::fromStdString(win::systemReason(error));
}

} // namespace

WriteOutcome writeAdaptationsFile(const std::filesystem::path &folder, const QString &name, const QByteArray &bytes,
                                  const QString &pupil)
{
    const std::filesystem::path path = folder / name.toStdWString();
    const DWORD access = GENERIC_READ | GENERIC_WRITE | READ_CONTROL | WRITE_DAC;
    // A link is opened as itself, and refused.
    const win::Handle file(CreateFileW(path.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                       FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
        const DWORD error = GetLastError();
        return {false, error == ERROR_ACCESS_DENIED ? QString::fromUtf8(logfile::reasons::permissionDenied)
                                                    : QString::fromStdString(win::systemReason(error))};
    }
    const bool made = GetLastError() != ERROR_ALREADY_EXISTS;
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(file.get(), &information)
        || (information.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        || GetFileType(file.get()) != FILE_TYPE_DISK)
        return {false, QString::fromUtf8(information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT
                                             ? logfile::reasons::isALink
                                             : logfile::reasons::notAFile)};
    // A file already there keeps the rights it was given.
    const QString rights = made && !pupil.isEmpty() ? givePupilAlone(file.get(), pupil) : QString();
    DWORD error = 0;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)
        || win::writeAll(file.get(), bytes.constData(), std::size_t(bytes.size()), error) != std::size_t(bytes.size())
        || !SetEndOfFile(file.get()) || !FlushFileBuffers(file.get()))
        return {false, QString::fromStdString(win::systemReason(error != 0 ? error : GetLastError()))};
    return {true, rights};
}

QString pupilFileRightsFault(const std::filesystem::path &, const QString &, const QString &)
{
    // Windows' rights are the server's or the technician's to check.
    return {};
}

bool accountKnown(const QString &login)
{
    return !sidOf(login).empty();
}
