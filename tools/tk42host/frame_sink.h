// Where a render's output frames go.
#pragma once

#include <cstddef>
#include <string>

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // Interleaved frames, full scale at 1.0; false with a message on failure.
    virtual bool write(const double* interleaved, size_t frames, std::string& error) = 0;
};
