#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tools/tk42host/pending_file.h"

bool replaceFile(const std::string& from, const std::string& to, std::string& error) {
    // rename() replaces an existing file atomically.
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = "cannot write " + to + ": " + std::strerror(errno);
    return false;
}
