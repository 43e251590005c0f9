#include "editor/tembro_limiter_gui.h"
#include "effect/editor_factory.h"

AEffEditor* createLimiterEditor(TembroLimiter* effect) {
    return new TembroLimiterGUI(effect);
}
