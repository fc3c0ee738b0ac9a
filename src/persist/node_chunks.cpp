// How each node reads and writes its chunks.
#include "model/item_form.h"
#include "model/item_link.h"
#include "model/project.h"
#include "model/tags.h"
#include "persist/chunks.h"
#include "persist/project_file.h"
#include "persist/streams.h"

#include <memory>

namespace {

constexpr std::int32_t kRevision = 0;

// Reads a child that is kept only when its payload held anything (links, fields, options).
template <typename Child, typename List>
std::int32_t ReadOptionalChild(std::unique_ptr<Child> child, List& list, CStream& source,
                               std::int32_t length)
{
    if (ReadChildChunk(*child, source, length) > 0) list.Append(child.release());
    return length;
}

} // namespace

// ---- CStreamable ----

std::int32_t CStreamable::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    return KeepRawChunk(*this, source, tag, length);
}

void CStreamable::WriteChunks(CStructStream& writer)
{
    WriteKeptChunks(*this, writer);
}

void CStreamable::OnLoaded() {}

void CStreamable::Save(CStructStream& writer)
{
    WriteChunks(writer);
}

std::int32_t CStreamable::Load(CStream& source, std::int32_t size)
{
    return ReadChunkSequence(*this, source, size);
}

// ---- CProject ----

std::int32_t CProject::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kTitle:
        return ReadStringChunk(source, length, title);
    case tags::kPageStyle: {
        std::int32_t style = static_cast<std::int32_t>(pageStyle);
        std::int32_t got = ReadIntChunk(source, length, style);
        pageStyle = static_cast<PageStyle>(style);
        return got;
    }
    case tags::kColumn:
        ReadChildChunk(*new CColumn(*this), source, length);
        return length;
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

// The project's unrecognised chunks stay in memory but are not written back.
void CProject::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kTitle, title);
    // Absent for Classic, so that such a project's file is what it always was.
    if (pageStyle != PageStyle::Classic)
        WriteIntChunk(writer, tags::kPageStyle, static_cast<std::int32_t>(pageStyle));
    for (CColumn* column : columns)
        WriteChildChunk(*column, writer, tags::kColumn);
}

void CProject::Save(CStructStream& writer)
{
    WriteUInt32(writer, tags::kMagic);
    WriteUInt32(writer, kRevision);
    WriteChunks(writer);
    modified = false;
}

std::int32_t CProject::Load(CStream& source, std::int32_t size)
{
    DeleteChildren();
    // A file without a style chunk is a Classic project.
    pageStyle = PageStyle::Classic;
    std::uint32_t magic = 0, revision = 0;
    if (!ReadUInt32(source, magic) || magic != tags::kMagic) return kLoadInvalidData;
    if (!ReadUInt32(source, revision)) return kLoadInvalidData;
    if (revision != kRevision) return kLoadUnknownRevision;
    // A size below the header's (a caller's mistake) reads no chunks rather than wrapping around.
    std::int32_t result = ReadChunkSequence(*this, source, size >= 8 ? size - 8 : 0);
    if (result > 0) modified = false;
    return result;
}

// ---- CColumn ----

std::int32_t CColumn::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kCaption:
        return ReadStringChunk(source, length, caption);
    case tags::kTab:
        return ReadStringChunk(source, length, tab);
    case tags::kGroup:
        ReadChildChunk(*new CGroup(*this), source, length);
        return length;
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CColumn::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kCaption, caption);
    // Absent without a tab, so that a project without tabs has the file it always had; a build
    // without tabs keeps the chunk as one it does not know.
    if (!tab.empty()) WriteStringChunk(writer, tags::kTab, tab);
    for (CGroup* group : groups)
        WriteChildChunk(*group, writer, tags::kGroup);
}

// ---- CGroup ----

std::int32_t CGroup::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kCaption:
        return ReadStringChunk(source, length, caption);
    case tags::kItemLink:
        ReadChildChunk(*new CItemLink(*this), source, length);
        return length;
    case tags::kItemForm:
        ReadChildChunk(*new CItemForm(*this), source, length);
        return length;
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CGroup::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kCaption, caption);
    for (CItem* item : items)
        WriteChildChunk(*item, writer, item->GetTag());
}

// ---- CItemLink ----

std::int32_t CItemLink::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kCaption:
        return ReadStringChunk(source, length, mainLink.caption);
    case tags::kUrl:
        return ReadStringChunk(source, length, mainLink.url);
    case tags::kDivider:
        return ReadStringChunk(source, length, divider);
    case tags::kLink:
        return ReadOptionalChild(std::make_unique<CLink>(std::wstring(), std::wstring()), links,
                                 source, length);
    case tags::kPopup: {
        // A loaded popup is numbered like any new one; a later popup chunk replaces an earlier.
        std::unique_ptr<CPopup> loaded(new CPopup(*this, std::wstring()));
        if (ReadChildChunk(*loaded, source, length) > 0) popup = std::move(loaded);
        return length;
    }
    case tags::kIcon:
        return ReadIconChunk(source, length, icon);
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CItemLink::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kCaption, mainLink.caption);
    WriteStringChunk(writer, tags::kUrl, mainLink.url);
    WriteStringChunk(writer, tags::kDivider, divider);
    if (popup) WriteChildChunk(*popup, writer, tags::kPopup);
    if (icon) WriteBytesChunk(writer, tags::kIcon, icon->Bytes());
    for (CLink* link : links)
        WriteChildChunk(*link, writer, tags::kLink);
    WriteKeptChunks(*this, writer);
}

std::int32_t CItemLink::CLink::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kCaption:
        return ReadStringChunk(source, length, caption);
    case tags::kUrl:
        return ReadStringChunk(source, length, url);
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CItemLink::CLink::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kCaption, caption);
    WriteStringChunk(writer, tags::kUrl, url);
    WriteKeptChunks(*this, writer);
}

// ---- CPopup ----

std::int32_t CPopup::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    if (tag == tags::kContent) return ReadStringChunk(source, length, content);
    return KeepRawChunk(*this, source, tag, length);
}

void CPopup::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kContent, content);
}

// ---- CItemForm ----

std::int32_t CItemForm::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kName:
        return ReadStringChunk(source, length, name);
    case tags::kMethod:
        return ReadIntChunk(source, length, method);
    case tags::kAction:
        return ReadStringChunk(source, length, action);
    case tags::kField:
        return ReadOptionalChild(
            std::make_unique<CField>(*this, 0, std::wstring(), std::wstring(), -1), fields, source,
            length);
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CItemForm::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kName, name);
    WriteIntChunk(writer, tags::kMethod, method);
    WriteStringChunk(writer, tags::kAction, action);
    for (CField* field : fields)
        WriteChildChunk(*field, writer, tags::kField);
    WriteKeptChunks(*this, writer);
}

std::int32_t CItemForm::CField::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kType:
        return ReadIntChunk(source, length, type);
    case tags::kName:
        return ReadStringChunk(source, length, name);
    case tags::kValue:
        return ReadStringChunk(source, length, value);
    case tags::kSize:
        return ReadIntChunk(source, length, size);
    case tags::kHidden: {
        std::int32_t flag = hidden ? 1 : 0;
        std::int32_t got = ReadIntChunk(source, length, flag);
        hidden = flag != 0;
        return got;
    }
    case tags::kOption:
        return ReadOptionalChild(std::make_unique<COption>(), options, source, length);
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CItemForm::CField::WriteChunks(CStructStream& writer)
{
    WriteIntChunk(writer, tags::kType, type);
    WriteStringChunk(writer, tags::kName, name);
    WriteStringChunk(writer, tags::kValue, value);
    WriteIntChunk(writer, tags::kSize, size);
    if (hidden) WriteIntChunk(writer, tags::kHidden, 1);
    for (COption* option : options)
        WriteChildChunk(*option, writer, tags::kOption);
    WriteKeptChunks(*this, writer);
}

std::int32_t CItemForm::COption::ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length)
{
    switch (tag) {
    case tags::kOption:
        return ReadStringChunk(source, length, text);
    case tags::kValue:
        return ReadStringChunk(source, length, value);
    default:
        return KeepRawChunk(*this, source, tag, length);
    }
}

void CItemForm::COption::WriteChunks(CStructStream& writer)
{
    WriteStringChunk(writer, tags::kOption, text);
    WriteStringChunk(writer, tags::kValue, value);
    WriteKeptChunks(*this, writer);
}
