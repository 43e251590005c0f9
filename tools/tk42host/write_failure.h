// Why the last write, flush or close of a file failed, in words a user can
// act on: "the disk is full", "the file is larger than ... allows", or the
// system's own text. Per platform: on Windows the system's error code says
// more than errno does.
#pragma once

#include <string>

std::string lastWriteFailure();
