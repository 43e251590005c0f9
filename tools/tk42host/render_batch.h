// tk42host render ... --out-dir DIR: every input into DIR under its own
// name, on --jobs threads, with one progress bar. Outputs are moved into
// place in the order of the inputs, so a batch leaves the same files on
// disk whatever the number of jobs: the first input that fails stops the
// batch, the outputs before it stay and none after it is written. An
// interruption keeps every output already complete.
#pragma once

#include <ostream>

#include "tools/tk42host/command_line.h"

int runBatch(const RenderOptions& o, std::ostream& out, std::ostream& err);
