#include "saving/rescuefolder.h"

// The folder's permissions are inherited from the profile it is made in.
void RescueFolders::make() const
{
    for (const std::filesystem::path &folder : m_folders) {
        std::error_code ignored;
        std::filesystem::create_directory(folder, ignored);
    }
}
