// How the limiter gets its editor. The module links the real panel; effect
// tests and benchmarks link a build without one, so they need neither the
// toolkit nor the images.
#pragma once

class AEffEditor;
class TembroLimiter;

// Creates the editor of a new limiter, or returns null for an effect without
// one. The editor registers itself with the effect.
AEffEditor* createLimiterEditor(TembroLimiter* effect);
