// The module instance handle, stored by the module entry; the toolkit uses it
// to find the embedded images and to register its window class.
#pragma once

extern void* moduleInstance;
