#include "homepage/page_compare.h"

#include "homepage/page_writer.h"
#include "persist/streams.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Takes the generator's pieces and compares them with the file, read in large blocks.
class CComparingStream final : public CStream
{
public:
    explicit CComparingStream(CStream& file) : file(&file), block(1 << 16) {}

    std::int32_t Read(void*, std::int32_t) override { return 0; }
    std::int32_t Skip(std::int32_t) override { return 0; }
    void Fail() override { same = false; }
    std::int32_t Write(const void* source, std::int32_t count) override
    {
        const auto* bytes = static_cast<const char*>(source);
        std::int32_t left = count;
        while (same && left > 0) {
            if (at == filled && !Refill()) {
                same = false;
                break;
            }
            std::int32_t n = std::min(left, filled - at);
            if (std::memcmp(bytes, block.data() + at, static_cast<std::size_t>(n)) != 0)
                same = false;
            bytes += n;
            left -= n;
            at += n;
        }
        return count;
    }

    // True when everything matched and the file has nothing after the page.
    bool Matched()
    {
        if (!same) return false;
        if (at < filled) return false;
        return !Refill();
    }

private:
    bool Refill()
    {
        at = 0;
        filled = file->Read(block.data(), static_cast<std::int32_t>(block.size()));
        if (filled < 0) filled = 0;
        return filled > 0;
    }

    CStream* file; // not owned
    std::vector<char> block;
    std::int32_t at = 0;
    std::int32_t filled = 0;
    bool same = true;
};

} // namespace

bool PageMatches(const CProject& project, CStream& file)
{
    CComparingStream comparing(file);
    WritePage(project, comparing);
    return comparing.Matched();
}
