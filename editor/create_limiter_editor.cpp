#include "editor/limiter_editor_factory.h"
#include "editor/tembro_limiter_gui.h"

AEffEditor* createLimiterEditor(TembroLimiter* effect) {
    return new TembroLimiterGUI(effect);
}
