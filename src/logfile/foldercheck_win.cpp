#include "logfile/logfile.h"

#include "logfile/filesystem.h"
#include "logfile/openlock_win.h"

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <memory>

namespace logfile {

using namespace win;

namespace {

constexpr ACCESS_MASK listing = FILE_LIST_DIRECTORY | GENERIC_READ | GENERIC_ALL;
constexpr ACCESS_MASK reading = FILE_READ_DATA | GENERIC_READ | GENERIC_ALL;

std::string utf8(const std::wstring &text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
    return bytes;
}

// DOMAIN\name, as the security settings show it; the SID where no name is known.
std::string accountOf(PSID sid)
{
    wchar_t name[256];
    wchar_t domain[256];
    DWORD nameSize = 256;
    DWORD domainSize = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use))
        return utf8(domainSize > 0 ? std::wstring(domain) + L"\\" + name : std::wstring(name));
    wchar_t *text = nullptr;
    std::string said = "?";
    if (ConvertSidToStringSidW(sid, &text))
        said = utf8(text);
    LocalFree(text);
    return said;
}

// This account's own SID, and whether a SID is that or one of its groups.
struct Token
{
    std::unique_ptr<char[]> user;

    Token()
    {
        HANDLE token = nullptr;
        DWORD size = 0;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
            return;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        user = std::make_unique<char[]>(size);
        if (!GetTokenInformation(token, TokenUser, user.get(), size, &size))
            user.reset();
        CloseHandle(token);
    }
    bool isUser(PSID sid) const
    {
        return user && EqualSid(sid, reinterpret_cast<TOKEN_USER *>(user.get())->User.Sid);
    }
    static bool member(PSID sid)
    {
        BOOL is = FALSE;
        return CheckTokenMembership(nullptr, sid, &is) && is;
    }
};

bool creatorOwner(PSID sid)
{
    BYTE well[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof well;
    return CreateWellKnownSid(WinCreatorOwnerSid, nullptr, well, &size) && EqualSid(sid, well);
}

void addOnce(std::vector<std::string> &names, const std::string &name)
{
    if (std::find(names.begin(), names.end(), name) == names.end())
        names.push_back(name);
}

std::string listOf(const std::vector<std::string> &names)
{
    std::string said;
    for (const std::string &name : names)
        said += (said.empty() ? "" : ", ") + name;
    return said;
}

// Who the folder's list of rights lets list it, or read the files made in
// it (CREATOR OWNER, which stands for each file's maker, aside); what of it
// concerns this account.
struct Rights
{
    std::vector<std::string> listers;
    std::vector<std::string> fileReaders;
    std::string listingFor;     // a right by which this account may list the folder
    std::string classmatesRead; // a group of this account's that may read new files
};

Rights rightsOf(const ACL *list, const Token &token)
{
    Rights rights;
    for (DWORD index = 0; index < list->AceCount; ++index) {
        void *entry = nullptr;
        if (!GetAce(const_cast<ACL *>(list), index, &entry)
            || static_cast<ACE_HEADER *>(entry)->AceType != ACCESS_ALLOWED_ACE_TYPE)
            continue;
        const auto *allowed = static_cast<ACCESS_ALLOWED_ACE *>(entry);
        PSID sid = const_cast<DWORD *>(&allowed->SidStart);
        const BYTE flags = allowed->Header.AceFlags;
        if (creatorOwner(sid))
            continue;
        const std::string name = accountOf(sid);
        if (!(flags & INHERIT_ONLY_ACE) && (allowed->Mask & listing)) {
            addOnce(rights.listers, name);
            if (rights.listingFor.empty() && Token::member(sid))
                rights.listingFor = name;
        }
        if ((flags & OBJECT_INHERIT_ACE) && (allowed->Mask & reading)) {
            addOnce(rights.fileReaders, name);
            if (rights.classmatesRead.empty() && Token::member(sid) && !token.isUser(sid))
                rights.classmatesRead = name;
        }
    }
    return rights;
}

// What the folder's rights say, for a log per pupil.
void judgeRights(const std::string &folder, PSID owner, const ACL *list, PathCheck &check)
{
    const Token token;
    check.ownFolder = owner && token.isUser(owner);
    if (!list) {
        check.exposure = "le dossier " + folder + " n'a aucune liste de droits : tout le monde peut le lister et lire "
                         "les fichiers des élèves";
        return;
    }
    const Rights rights = rightsOf(list, token);
    if (!rights.listers.empty())
        check.notes.push_back("Peuvent lister le dossier " + folder + " : " + listOf(rights.listers) + ".");
    if (!rights.fileReaders.empty())
        check.notes.push_back("Peuvent lire les fichiers créés dans " + folder + " : " + listOf(rights.fileReaders)
                              + ".");
    if (!rights.classmatesRead.empty())
        check.exposure = "les fichiers créés dans " + folder + " peuvent être lus par " + rights.classmatesRead
                         + ", dont ce compte fait partie : des camarades pourraient lire le fichier de l'élève";
    else if (!rights.listingFor.empty() && !check.ownFolder)
        check.exposure = "ce compte peut lister le dossier " + folder + " (droit donné à " + rights.listingFor
                         + ") : lancé depuis le compte d'un élève, cela veut dire que ses camarades y voient aussi "
                           "les noms des fichiers des autres ; lancé depuis celui du professeur, c'est normal";
}

} // namespace

// Windows has no path walk to make: the server's rights keep a pupil's log,
// and they are read here to say who may list the class folder or read the
// logs made in it.
PathCheck checkLogPath(const std::filesystem::path &log, bool ownLogOnly)
{
    PathCheck check;
    const std::filesystem::path folder = log.parent_path();
    std::error_code error;
    check.reachable = std::filesystem::is_directory(folder, error);
    check.network = onNetworkFileSystem(log);
    if (!check.reachable) {
        check.reason = reasons::missing;
        check.judged = false;
        return check;
    }
    check.trialNeeded = !std::filesystem::exists(log, error);
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD read = GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT,
                                             OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                             nullptr, &list, nullptr, &descriptor);
    const std::string named = utf8(folder.wstring());
    if (read != ERROR_SUCCESS) {
        check.judged = false;
        check.notes.push_back("Les droits du dossier " + named + " n'ont pas pu être lus (" + systemReason(read)
                              + ") : vérifiez sur le serveur que les élèves peuvent y créer des fichiers et y "
                                "ajouter, sans le lister ni lire ceux des autres, et que le professeur y a le "
                                "contrôle total.");
        return check;
    }
    if (ownLogOnly)
        judgeRights(named, owner, list, check);
    LocalFree(descriptor);
    return check;
}

} // namespace logfile
