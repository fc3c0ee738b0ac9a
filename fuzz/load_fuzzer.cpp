// libFuzzer target: the project loader on arbitrary bytes. Whatever loads must save, load again
// and save to the same bytes.
#include "model/project.h"
#include "persist/streams.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Reads from the fuzzer's bytes.
class CByteSource : public CStream
{
public:
    CByteSource(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    std::int32_t Read(void* destination, std::int32_t count) override
    {
        std::size_t n = count > 0 ? std::min(size - position, static_cast<std::size_t>(count)) : 0;
        std::memcpy(destination, data + position, n);
        position += n;
        return static_cast<std::int32_t>(n);
    }
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t count) override
    {
        std::size_t n = count > 0 ? std::min(size - position, static_cast<std::size_t>(count)) : 0;
        position += n;
        return static_cast<std::int32_t>(n);
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t position = 0;
};

std::string Save(CProject& project)
{
    CMemoryStream memory;
    CStructStream writer(memory);
    project.Save(writer);
    std::string bytes(static_cast<std::size_t>(memory.Finish()), '\0');
    if (!bytes.empty()) memory.Read(&bytes[0], static_cast<std::int32_t>(bytes.size()));
    return bytes;
}

std::int32_t Load(CProject& project, const std::uint8_t* data, std::size_t size)
{
    CByteSource source(data, size);
    CStructStream reader(source);
    return project.Load(reader, static_cast<std::int32_t>(size));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 0x7FFFFFFF) return 0;
    CProject project;
    if (Load(project, data, size) < 0) return 0;
    std::string first = Save(project);
    CProject again;
    if (Load(again, reinterpret_cast<const std::uint8_t*>(first.data()), first.size()) < 0)
        __builtin_trap();
    if (Save(again) != first) __builtin_trap();
    return 0;
}
