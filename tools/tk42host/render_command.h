// tk42host render: a WAV file (or the demo) through the plug-in into a WAV file.
#pragma once

#include <ostream>

#include "tools/tk42host/command_line.h"

int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err);
