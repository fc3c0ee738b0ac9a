// The module whose resources the program's windows are made from.
#pragma once

#include <windows.h>

// GetModuleHandleW(NULL) unless set otherwise.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
