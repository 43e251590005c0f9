// An open editor as the instance holds it: only its lifetime. What the
// editor is (the panel on the toolkit, driven by the host's timer or the
// window system's) is the business of the glue that makes it, so an
// instance without an editor needs no toolkit.
#pragma once

class ClapEditor {
  public:
    virtual ~ClapEditor() = default;
};
