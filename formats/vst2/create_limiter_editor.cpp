#include "formats/vst2/limiter_editor_factory.h"
#include "formats/vst2/tembro_limiter_gui.h"

AEffEditor* createLimiterEditor(TembroLimiter* effect) {
    return new TembroLimiterGUI(effect);
}
