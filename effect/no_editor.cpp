#include "effect/editor_factory.h"

AEffEditor* createLimiterEditor(TembroLimiter* /*effect*/) {
    return nullptr;
}
