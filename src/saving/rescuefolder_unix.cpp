#include "saving/rescuefolder.h"

#include <sys/stat.h>

void RescueFolders::make() const
{
    for (const std::filesystem::path &folder : m_folders) {
        // chmod as well: the umask may have taken the owner's own rights.
        if (::mkdir(folder.c_str(), 0700) == 0)
            ::chmod(folder.c_str(), 0700);
    }
}
