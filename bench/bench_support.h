// What the benchmarks share: streams over memory and a main that keeps freed memory.
#pragma once

#include "persist/streams.h"

#include <cstddef>
#include <string>

// Reads from bytes that someone else owns.
class CByteSource : public CStream
{
public:
    explicit CByteSource(const std::string& bytes) : bytes(&bytes) {}
    std::int32_t Read(void* destination, std::int32_t count) override;
    std::int32_t Write(const void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t count) override;
    std::size_t position = 0;

private:
    const std::string* bytes; // not owned
};

// Collects what it is given in one buffer that is reused after Clear, so that writing into it
// costs no allocation or page fault once it has grown.
class CByteSink : public CStream
{
public:
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void* source, std::int32_t count) override;
    std::int32_t Skip(std::int32_t) override { return 0; }
    void Clear() { used = 0; }
    std::string Bytes() const { return std::string(buffer.data(), used); }
    std::size_t Size() const { return used; }

private:
    std::string buffer;
    std::size_t used = 0;
};

// Counts what it is given.
class CCountingStream : public CStream
{
public:
    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Write(const void*, std::int32_t count) override
    {
        total += static_cast<std::size_t>(count);
        return count;
    }
    std::int32_t Skip(std::int32_t) override { return 0; }
    std::size_t total = 0;
};

namespace benchmark {
namespace internal {
class Benchmark;
}
} // namespace benchmark

// Inputs of 10 MB and 100 MB, timed in milliseconds, rates per CPU second; two sizes show whether
// the cost grows linearly. Several iterations even of the largest size: the first after building
// a big tree pays for the allocator sorting its freed memory.
void TenAndHundredMegabytes(benchmark::internal::Benchmark* benchmark);

// Runs the registered benchmarks. With `keepFreedMemory`, freed memory stays with the process
// for the next iteration, as the Windows heap keeps it, instead of being handed back to the
// kernel and faulted in again each time a large tree is built; benchmarks that build no trees
// leave it off, so that the trees they walk lie in memory as a fresh load places them.
int RunBenchmarks(int argc, char** argv, bool keepFreedMemory);
