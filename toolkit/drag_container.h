// What is being dragged over the frame: the platform's data object (not
// owned) and the number of items it holds.
#pragma once

#include <cstdlib>

#include "toolkit/reference_counter.h"

namespace TKGUI {

class CDragContainer : public CReferenceCounter {
  public:
    CDragContainer(void* platformDrag, int itemCount)
        : platformDrag(platformDrag), nbItems(itemCount) {}
    ~CDragContainer() override { std::free(lastItem); }

    void* getPlatformDrag() const { return platformDrag; }
    int getCount() const { return nbItems; }

  protected:
    void* platformDrag;
    int nbItems;
    void* lastItem = nullptr;  // a buffer of its own, freed here
};

}  // namespace TKGUI
