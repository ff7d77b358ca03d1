#include "logfile/filesystem.h"

namespace logfile {

bool isNetworkFileSystemType(unsigned long type)
{
    switch (type) {
    case 0x65735546: // FUSE (smbnetfs, sshfs...)
    case 0x517B:     // SMB
    case 0xFF534D42: // CIFS
    case 0xFE534D42: // SMB2
    case 0x6969:     // NFS
    case 0x01021997: // 9P
    case 0x5346414F: // AFS
    case 0x00C36400: // Ceph
        return true;
    default:
        return false;
    }
}

} // namespace logfile
