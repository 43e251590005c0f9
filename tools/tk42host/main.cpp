// tk42host: the project's own VST 2.4 host on the command line.
#include <iostream>

#include "tools/tk42host/tk42host_app.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return runTk42host(args, std::cout, std::cerr);
}
