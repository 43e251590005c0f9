#include "host/module_instance.h"

void* moduleInstance = nullptr;
