#include <windows.h>

#include <cerrno>
#include <cstring>

#include "tools/tk42host/write_failure.h"

std::string lastWriteFailure() {
    const int e = errno;
    switch (GetLastError()) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case ERROR_DISK_QUOTA_EXCEEDED:
            return "the disk quota is used up";
        case ERROR_FILE_TOO_LARGE:
            return "the file is larger than this file system allows (FAT32 holds 4 GiB)";
        default:
            break;
    }
    if (e == ENOSPC) return "the disk is full";
    if (e == EFBIG) return "the file is larger than this file system allows";
    return std::strerror(e);
}
