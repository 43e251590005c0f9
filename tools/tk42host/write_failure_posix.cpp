#include <cerrno>
#include <cstring>

#include "tools/tk42host/write_failure.h"

std::string lastWriteFailure() {
    const int e = errno;
    switch (e) {
        case ENOSPC:
            return "the disk is full";
        case EDQUOT:
            return "the disk quota is used up";
        case EFBIG:
            return "the file is larger than this file system or the process's file size limit "
                   "allows";
        default:
            return std::strerror(e);
    }
}
