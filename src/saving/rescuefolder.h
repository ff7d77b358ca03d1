#pragma once

#include <filesystem>
#include <vector>

// The folders of the rescue log, made where missing for this account's eyes
// only (0700 on POSIX systems, whatever the umask): a record rescued there
// may be one a class folder was meant to keep from the classmates. The one
// maker for both rescues, the ordinary one and the one at the session's end.
class RescueFolders
{
public:
    explicit RescueFolders(const std::filesystem::path &rescueLog)
    {
        std::filesystem::path folder;
        for (const std::filesystem::path &part : rescueLog.parent_path()) {
            folder /= part;
            m_folders.push_back(folder);
        }
    }

    // Makes the missing ones, outermost first; one that cannot be made shows
    // when the rescue log is opened. On POSIX systems async-signal-safe: the
    // paths were prepared by the constructor.
    void make() const;

private:
    std::vector<std::filesystem::path> m_folders;
};
