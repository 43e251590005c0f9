// The whole command line of tk42host, callable in-process (the tests do).
#pragma once

#include <ostream>
#include <string>
#include <vector>

// args without the program name; answers the exit status.
int runTk42host(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
