// tk42host info: what a module says about itself, and every parameter.
#pragma once

#include <ostream>
#include <string>

int runInfo(const std::string& modulePath, std::ostream& out, std::ostream& err);
