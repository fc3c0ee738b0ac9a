#include "winui/module.h"

namespace {

HINSTANCE moduleInstance = nullptr;

} // namespace

HINSTANCE ModuleInstance()
{
    return moduleInstance ? moduleInstance : ::GetModuleHandleW(nullptr);
}

void SetModuleInstance(HINSTANCE instance)
{
    moduleInstance = instance;
}
