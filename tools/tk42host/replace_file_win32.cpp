#include <windows.h>

#include "tools/tk42host/pending_file.h"

bool replaceFile(const std::string& from, const std::string& to, std::string& error) {
    // rename() on Windows refuses an existing target; MoveFileEx replaces it.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
    error = "cannot write " + to + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}
