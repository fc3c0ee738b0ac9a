#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

std::int32_t CByteSource::Read(void* destination, std::int32_t count)
{
    std::size_t n = std::min(bytes->size() - position, static_cast<std::size_t>(count));
    std::memcpy(destination, bytes->data() + position, n);
    position += n;
    return static_cast<std::int32_t>(n);
}

std::int32_t CByteSource::Skip(std::int32_t count)
{
    std::size_t n = std::min(bytes->size() - position, static_cast<std::size_t>(count));
    position += n;
    return static_cast<std::int32_t>(n);
}

std::int32_t CByteSink::Write(const void* source, std::int32_t count)
{
    if (used + static_cast<std::size_t>(count) > buffer.size())
        buffer.resize(std::max(buffer.size() * 2, used + static_cast<std::size_t>(count)));
    std::memcpy(&buffer[used], source, static_cast<std::size_t>(count));
    used += static_cast<std::size_t>(count);
    return count;
}

void TenAndHundredMegabytes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(10 << 20)->Arg(100 << 20)->Unit(benchmark::kMillisecond)->MinTime(2.0);
}

int RunBenchmarks(int argc, char** argv, bool keepFreedMemory)
{
#if defined(__GLIBC__)
    if (keepFreedMemory) mallopt(M_TRIM_THRESHOLD, 0x7FFFFFFF);
#else
    (void)keepFreedMemory;
#endif
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
