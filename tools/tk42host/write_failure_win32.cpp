#include <windows.h>

#include <cerrno>
#include <cstring>

#include "tools/tk42host/write_failure.h"

namespace {

// ERROR_DISK_QUOTA_EXCEEDED, which mingw's headers do not name.
constexpr DWORD kDiskQuotaExceeded = 1295;

}  // namespace

std::string lastWriteFailure() {
    const int e = errno;
    const DWORD code = GetLastError();
    switch (code) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return "the disk is full";
        case kDiskQuotaExceeded:
            return "the disk quota is used up";
        case ERROR_FILE_TOO_LARGE:
            return "the file is larger than this file system allows (FAT32 holds 4 GiB)";
        default:
            break;
    }
    if (e == ENOSPC) return "the disk is full";
    if (e == EFBIG) return "the file is larger than this file system allows";
    return std::string(std::strerror(e)) + " (Windows error " + std::to_string(code) + ")";
}
