// The host's side of VST3 as a test host needs it: a memory stream for
// state, a list of parameter changes with sample offsets, and a component
// handler that records the plug-in's edits and restart requests. Each is
// created with one reference (the creator's) and counts them like a host's.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "formats/vst3/vst3_controller.h"
#include "formats/vst3/vst3_processor.h"

namespace plughost {

// Counts references for the host objects below.
template <typename Base>
class Counted : public Base {
  public:
    uint32_t addRef() override { return references.fetch_add(1) + 1; }
    uint32_t release() override {
        const uint32_t left = references.fetch_sub(1) - 1;
        if (left == 0) delete this;
        return left;
    }
    uint32_t referenceCount() const { return references.load(); }

  protected:
    virtual ~Counted() = default;
    std::atomic<uint32_t> references{1};
};

class MemoryStream final : public Counted<vst3::IBStream> {
  public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}

    vst3::tresult queryInterface(const char* iid, void** object) override;
    vst3::tresult read(void* buffer, int32_t bytes, int32_t* bytesRead) override;
    vst3::tresult write(void* buffer, int32_t bytes, int32_t* bytesWritten) override;
    vst3::tresult seek(int64_t position, int32_t mode, int64_t* result) override;
    vst3::tresult tell(int64_t* position) override;

    std::vector<uint8_t> data;
    size_t cursor = 0;
    // Hands out at most this many bytes per read, as some hosts' streams do.
    int32_t readLimit = 0x7FFFFFFF;
};

// One parameter's points in a block.
class ParamQueue final : public Counted<vst3::IParamValueQueue> {
  public:
    explicit ParamQueue(vst3::ParamId id) : id(id) {}
    vst3::tresult queryInterface(const char* iid, void** object) override;
    vst3::ParamId getParameterId() override { return id; }
    int32_t getPointCount() override { return static_cast<int32_t>(points.size()); }
    vst3::tresult getPoint(int32_t index, int32_t& offset, vst3::ParamValue& value) override;
    vst3::tresult addPoint(int32_t offset, vst3::ParamValue value, int32_t& index) override;

    vst3::ParamId id;
    std::vector<std::pair<int32_t, vst3::ParamValue>> points;
};

class ParamChanges final : public Counted<vst3::IParameterChanges> {
  public:
    ~ParamChanges() override;
    vst3::tresult queryInterface(const char* iid, void** object) override;
    int32_t getParameterCount() override { return static_cast<int32_t>(queues.size()); }
    vst3::IParamValueQueue* getParameterData(int32_t index) override;
    vst3::IParamValueQueue* addParameterData(const vst3::ParamId& id, int32_t& index) override;

    // Adds a point to the parameter's queue (made on first use).
    void add(vst3::ParamId id, int32_t offset, double value);
    void clear();

    std::vector<ParamQueue*> queues;
};

// Records what the plug-in tells its host, from any thread.
class RecordingHandler final : public Counted<vst3::IComponentHandler> {
  public:
    struct Edit {
        char kind;  // 'b'egin, 'p'erform, 'e'nd
        vst3::ParamId id;
        double value;
    };
    vst3::tresult queryInterface(const char* iid, void** object) override;
    vst3::tresult beginEdit(vst3::ParamId id) override;
    vst3::tresult performEdit(vst3::ParamId id, vst3::ParamValue value) override;
    vst3::tresult endEdit(vst3::ParamId id) override;
    vst3::tresult restartComponent(int32_t flags) override;

    std::vector<Edit> edits() const;
    std::vector<int32_t> restarts() const;

  private:
    mutable std::mutex lock;
    std::vector<Edit> editLog;
    std::vector<int32_t> restartLog;
};

}  // namespace plughost
