#include "transfer/node_bytes.h"

#include "edit/site.h"
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/chunks.h"
#include "persist/streams.h"

#include <limits>

namespace {

constexpr std::uint32_t kMagic = MakeTag('q', 'n', 'o', 'd');
constexpr std::uint32_t kRevision = 0;

std::uint32_t TagOf(std::int32_t kind, CStreamable* node)
{
    switch (kind) {
    case kNodeColumn:
        return tags::kColumn;
    case kNodeGroup:
        return tags::kGroup;
    default:
        return static_cast<CItem*>(node)->GetTag();
    }
}

std::int32_t KindOf(std::uint32_t tag)
{
    switch (tag) {
    case tags::kColumn:
        return kNodeColumn;
    case tags::kGroup:
        return kNodeGroup;
    case tags::kItemLink:
    case tags::kItemForm:
        return kNodeItem;
    default:
        return 0;
    }
}

// Reads the node chunks into a scratch project: columns into it, groups into one column, items
// into one group of that column.
class CNodeReader final : public CStreamable
{
public:
    CNodeReader() : column(new CColumn(scratch)), group(new CGroup(*column)) {}

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override
    {
        const std::int32_t kind = KindOf(tag);
        if (kind == 0 || (found != 0 && kind != found)) return 0;
        found = kind;
        CStreamable* node = nullptr;
        switch (tag) {
        case tags::kColumn:
            node = new CColumn(scratch);
            break;
        case tags::kGroup:
            node = new CGroup(*column);
            break;
        case tags::kItemLink:
            node = new CItemLink(*group);
            break;
        default:
            node = new CItemForm(*group);
            break;
        }
        ReadChildChunk(*node, source, length);
        return length;
    }

    CNodeBundle Take()
    {
        // The holders are no nodes of the copy.
        if (found == kNodeColumn) scratch.columns.Destroy(column);
        if (found == kNodeGroup) column->groups.Destroy(group);
        return found ? TakeAll(scratch, found) : CNodeBundle();
    }

private:
    CProject scratch;
    CColumn* column; // not owned
    CGroup* group;   // not owned
    std::int32_t found = 0;
};

} // namespace

std::string WriteNodeBytes(std::int32_t kind, const std::vector<CStreamable*>& nodes)
{
    CMemoryStream memory;
    {
        CStructStream writer(memory);
        WriteUInt32(writer, kMagic);
        WriteUInt32(writer, kRevision);
        for (CStreamable* node : nodes)
            WriteChildChunk(*node, writer, TagOf(kind, node));
    }
    if (memory.Failed() || memory.Size() > std::numeric_limits<std::int32_t>::max())
        return std::string();
    const std::int32_t size = memory.Finish();
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (size > 0) memory.Read(&bytes[0], size);
    return bytes;
}

bool ReadNodeBytes(std::string_view bytes, CNodeBundle& bundle)
{
    if (bytes.size() < 8 || bytes.size() > static_cast<std::size_t>(MaxPayload())) return false;
    CBytesReader source(bytes);
    std::uint32_t magic = 0, revision = 0;
    if (!ReadUInt32(source, magic) || magic != kMagic || !ReadUInt32(source, revision) ||
        revision != kRevision)
        return false;
    CNodeReader reader;
    ReadChunkSequence(reader, source, static_cast<std::int32_t>(bytes.size() - 8));
    bundle = reader.Take();
    return !bundle.Empty();
}

CNodeBundle CopyNodes(std::int32_t kind, const std::vector<CStreamable*>& nodes)
{
    CNodeBundle bundle;
    ReadNodeBytes(WriteNodeBytes(kind, nodes), bundle);
    return bundle;
}
