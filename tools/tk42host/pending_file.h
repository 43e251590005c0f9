// An output file written under a temporary name beside its final path and
// moved into place only when everything succeeded, so a failed run never
// leaves a half-written file nor touches an existing one.
#pragma once

#include <string>

class PendingFile {
  public:
    explicit PendingFile(const std::string& finalPath);
    // Removes the temporary file unless it was committed.
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& path() const { return temporary; }
    // The name the file will have, for messages.
    const std::string& target() const { return finalPath; }
    // Replaces the final file with the temporary one.
    bool commit(std::string& error);

  private:
    std::string finalPath;
    std::string temporary;
    bool committed = false;
};

// Moves from onto to, replacing to if it exists; per platform.
bool replaceFile(const std::string& from, const std::string& to, std::string& error);
