// libFuzzer target: the project loader on arbitrary bytes. Whatever loads must save, load again
// and save to the same bytes.
#include "model/project.h"
#include "persist/streams.h"
#include "test_support.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

std::string Save(CProject& project)
{
    CMemoryStream memory;
    CStructStream writer(memory);
    project.Save(writer);
    return ReadAll(memory);
}

std::int32_t Load(CProject& project, const std::string& bytes)
{
    CRecordingStream source(bytes);
    CStructStream reader(source);
    return project.Load(reader, static_cast<std::int32_t>(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x7FFFFFFF) return 0;
    CProject project;
    if (Load(project, std::string(reinterpret_cast<const char*>(data), size)) < 0) return 0;
    std::string first = Save(project);
    CProject again;
    if (Load(again, first) < 0) __builtin_trap();
    if (Save(again) != first) __builtin_trap();
    return 0;
}
