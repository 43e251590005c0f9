// tk42host demo: writes the built-in demo signal itself, unprocessed, as a
// 32-bit float WAV file (it goes above full scale).
#pragma once

#include <ostream>
#include <string>
#include <vector>

int runDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
