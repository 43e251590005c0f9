#include "toolkit/reference_counter.h"

#include <atomic>

namespace TKGUI {

namespace {
// Counted atomically only because the count is module-wide; the objects
// themselves belong to the user-interface thread.
std::atomic<int> liveCount{0};
}  // namespace

CReferenceCounter::CReferenceCounter() {
    liveCount.fetch_add(1, std::memory_order_relaxed);
}

CReferenceCounter::~CReferenceCounter() {
    liveCount.fetch_sub(1, std::memory_order_relaxed);
}

void CReferenceCounter::release() {
    if (--nbReference == 0) delete this;
}

int CReferenceCounter::liveObjects() {
    return liveCount.load(std::memory_order_relaxed);
}

}  // namespace TKGUI
