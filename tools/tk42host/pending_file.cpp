#include "tools/tk42host/pending_file.h"

#include <chrono>
#include <cstdio>
#include <random>

namespace {

std::string uniqueSuffix() {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const unsigned long long mixed =
        (static_cast<unsigned long long>(device()) << 32) ^ static_cast<unsigned long long>(now);
    char text[32];
    std::snprintf(text, sizeof text, ".partial-%016llx", mixed);
    return text;
}

}  // namespace

PendingFile::PendingFile(const std::string& finalPath)
    : finalPath(finalPath), temporary(finalPath + uniqueSuffix()) {}

PendingFile::~PendingFile() {
    if (!committed) std::remove(temporary.c_str());
}

bool PendingFile::commit(std::string& error) {
    if (!replaceFile(temporary, finalPath, error)) return false;
    committed = true;
    return true;
}
