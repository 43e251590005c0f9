// Small files of a run (state, report, plot), written under their temporary
// names before the run moves them into place.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tk42host/pending_file.h"

// Errors name the file the user gave and say why.
bool writeBytes(const PendingFile& file, const std::vector<uint8_t>& bytes, std::string& error);
bool writeText(const PendingFile& file, const std::string& text, std::string& error);
