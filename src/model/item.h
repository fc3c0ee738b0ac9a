// The abstract item of a group: a link item or a form item.
#pragma once

#include "model/streamable.h"

#include <cstdint>
#include <string>

class CGroup;

class CItem : public CStreamable
{
public:
    CGroup* parent; // not owned

    virtual ~CItem();
    // The item kind as a chunk tag: tags::kItemLink or tags::kItemForm.
    virtual std::uint32_t GetTag() const = 0;
    // Writes the item's homepage markup.
    virtual void WriteHtml(CStream& stream) const = 0;
    // The text shown for the item in the tree view.
    virtual std::wstring GetLabel() const = 0;

protected:
    // Appends the new item to the parent's items.
    explicit CItem(CGroup& parent);
};
