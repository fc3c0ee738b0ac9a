// libFuzzer target: the project loader on arbitrary bytes. Whatever loads must save, load again
// and save to the same bytes.
#include "model/project.h"
#include "persist/streams.h"
#include "test_support.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x7FFFFFFF) return 0;
    CProject project;
    if (LoadFromBytes(project, std::string(reinterpret_cast<const char*>(data), size)) < 0)
        return 0;
    std::string first = SaveToBytes(project);
    CProject again;
    if (LoadFromBytes(again, first) < 0) __builtin_trap();
    if (SaveToBytes(again) != first) __builtin_trap();
    return 0;
}
