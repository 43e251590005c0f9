#include "tools/tk42host/small_files.h"

#include <cstdio>

#include "tools/tk42host/write_failure.h"

bool writeBytes(const PendingFile& file, const std::vector<uint8_t>& bytes, std::string& error) {
    std::FILE* f = std::fopen(file.path().c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0;
    if (!ok) error = "cannot write " + file.target() + ": " + lastWriteFailure();
    if (f && std::fclose(f) != 0 && ok) {
        error = "cannot write " + file.target() + ": " + lastWriteFailure();
        ok = false;
    }
    return ok;
}

bool writeText(const PendingFile& file, const std::string& text, std::string& error) {
    return writeBytes(file, std::vector<uint8_t>(text.begin(), text.end()), error);
}
