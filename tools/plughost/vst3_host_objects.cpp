#include "tools/plughost/vst3_host_objects.h"

#include <algorithm>
#include <cstring>

namespace plughost {

namespace {

template <typename Interface>
vst3::tresult answer(Interface* self, const vst3::Uid& own, const char* iid, void** object) {
    if (!object) return vst3::kInvalidArgument;
    if (own.matches(iid) || vst3::kFUnknownIid.matches(iid)) {
        self->addRef();
        *object = self;
        return vst3::kResultOk;
    }
    *object = nullptr;
    return vst3::kNoInterface;
}

}  // namespace

vst3::tresult MemoryStream::queryInterface(const char* iid, void** object) {
    return answer(this, vst3::kIBStreamIid, iid, object);
}

vst3::tresult MemoryStream::read(void* buffer, int32_t bytes, int32_t* bytesRead) {
    if (bytes < 0 || (!buffer && bytes > 0)) return vst3::kInvalidArgument;
    const size_t left = cursor < data.size() ? data.size() - cursor : 0;
    const size_t n =
        std::min<size_t>({left, static_cast<size_t>(bytes), static_cast<size_t>(readLimit)});
    if (n) std::memcpy(buffer, data.data() + cursor, n);
    cursor += n;
    if (bytesRead) *bytesRead = static_cast<int32_t>(n);
    return vst3::kResultOk;
}

vst3::tresult MemoryStream::write(void* buffer, int32_t bytes, int32_t* bytesWritten) {
    if (bytes < 0 || (!buffer && bytes > 0)) return vst3::kInvalidArgument;
    if (data.size() < cursor + bytes) data.resize(cursor + bytes);
    if (bytes) std::memcpy(data.data() + cursor, buffer, bytes);
    cursor += bytes;
    if (bytesWritten) *bytesWritten = bytes;
    return vst3::kResultOk;
}

vst3::tresult MemoryStream::seek(int64_t position, int32_t mode, int64_t* result) {
    int64_t base = 0;
    if (mode == vst3::IBStream::kSeekCurrent) base = static_cast<int64_t>(cursor);
    if (mode == vst3::IBStream::kSeekEnd) base = static_cast<int64_t>(data.size());
    if (base + position < 0) return vst3::kInvalidArgument;
    cursor = static_cast<size_t>(base + position);
    if (result) *result = static_cast<int64_t>(cursor);
    return vst3::kResultOk;
}

vst3::tresult MemoryStream::tell(int64_t* position) {
    if (!position) return vst3::kInvalidArgument;
    *position = static_cast<int64_t>(cursor);
    return vst3::kResultOk;
}

vst3::tresult ParamQueue::queryInterface(const char* iid, void** object) {
    return answer(this, vst3::kIParamValueQueueIid, iid, object);
}

vst3::tresult ParamQueue::getPoint(int32_t index, int32_t& offset, vst3::ParamValue& value) {
    if (index < 0 || index >= getPointCount()) return vst3::kInvalidArgument;
    offset = points[index].first;
    value = points[index].second;
    return vst3::kResultOk;
}

vst3::tresult ParamQueue::addPoint(int32_t offset, vst3::ParamValue value, int32_t& index) {
    index = getPointCount();
    points.emplace_back(offset, value);
    return vst3::kResultOk;
}

ParamChanges::~ParamChanges() {
    clear();
}

vst3::tresult ParamChanges::queryInterface(const char* iid, void** object) {
    return answer(this, vst3::kIParameterChangesIid, iid, object);
}

vst3::IParamValueQueue* ParamChanges::getParameterData(int32_t index) {
    if (index < 0 || index >= getParameterCount()) return nullptr;
    return queues[index];
}

vst3::IParamValueQueue* ParamChanges::addParameterData(const vst3::ParamId& id, int32_t& index) {
    for (size_t i = 0; i < queues.size(); ++i) {
        if (queues[i]->id == id) {
            index = static_cast<int32_t>(i);
            return queues[i];
        }
    }
    index = getParameterCount();
    queues.push_back(new ParamQueue(id));
    return queues.back();
}

void ParamChanges::add(vst3::ParamId id, int32_t offset, double value) {
    int32_t index = 0, point = 0;
    addParameterData(id, index)->addPoint(offset, value, point);
}

void ParamChanges::clear() {
    for (ParamQueue* q : queues) q->release();
    queues.clear();
}

vst3::tresult RecordingHandler::queryInterface(const char* iid, void** object) {
    return answer(this, vst3::kIComponentHandlerIid, iid, object);
}

vst3::tresult RecordingHandler::beginEdit(vst3::ParamId id) {
    std::lock_guard<std::mutex> hold(lock);
    editLog.push_back({'b', id, 0.0});
    return vst3::kResultOk;
}

vst3::tresult RecordingHandler::performEdit(vst3::ParamId id, vst3::ParamValue value) {
    std::lock_guard<std::mutex> hold(lock);
    editLog.push_back({'p', id, value});
    return vst3::kResultOk;
}

vst3::tresult RecordingHandler::endEdit(vst3::ParamId id) {
    std::lock_guard<std::mutex> hold(lock);
    editLog.push_back({'e', id, 0.0});
    return vst3::kResultOk;
}

vst3::tresult RecordingHandler::restartComponent(int32_t flags) {
    std::lock_guard<std::mutex> hold(lock);
    restartLog.push_back(flags);
    return vst3::kResultOk;
}

std::vector<RecordingHandler::Edit> RecordingHandler::edits() const {
    std::lock_guard<std::mutex> hold(lock);
    return editLog;
}

std::vector<int32_t> RecordingHandler::restarts() const {
    std::lock_guard<std::mutex> hold(lock);
    return restartLog;
}

}  // namespace plughost
