// The factory that gives a new limiter its panel.
#pragma once

class AEffEditor;
class TembroLimiter;

AEffEditor* createLimiterEditor(TembroLimiter* effect);
