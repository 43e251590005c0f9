// The reference-counted base of views, bitmaps, drawing contexts and drag
// containers. Whoever creates an object holds its first reference; the object
// destroys itself when the last reference is released.
#pragma once

namespace TKGUI {

class CReferenceCounter {
  public:
    CReferenceCounter();
    CReferenceCounter(const CReferenceCounter&) = delete;
    CReferenceCounter& operator=(const CReferenceCounter&) = delete;

    virtual ~CReferenceCounter();
    virtual void release();
    virtual void retain() { ++nbReference; }

    int getNbReference() const { return nbReference; }

    // Objects alive in the whole module, for leak checks when an editor
    // closes and in tests.
    static int liveObjects();

  private:
    int nbReference = 1;
};

}  // namespace TKGUI
