// What a frame asks of the editor that owns it. The editor glue implements it
// and reports edits to the host.
#pragma once

#include <cstdint>

namespace TKGUI {

class CFrameEditor {
  public:
    // A control starts or ends a gesture on the parameter of this tag.
    virtual void beginEdit(int32_t tag) = 0;
    virtual void endEdit(int32_t tag) = 0;
    // The idle work that modal mouse loops run on every turn.
    virtual void pumpIdle() = 0;
    // Asks the host to give the editor window this size; false when it
    // cannot or will not.
    virtual bool requestEditorSize(int32_t /*width*/, int32_t /*height*/) { return false; }

  protected:
    ~CFrameEditor() = default;
};

}  // namespace TKGUI
