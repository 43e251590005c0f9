// How the limiter gets its editor: the module hands the limiter a factory
// that makes its panel. Effect tests and benchmarks hand it none, so they
// need neither the toolkit nor the images.
#pragma once

class AEffEditor;
class TembroLimiter;

// Creates the editor of a new limiter; the editor registers itself with the
// effect.
using LimiterEditorFactory = AEffEditor* (*)(TembroLimiter* effect);
