// Where a change or a find match is: a node of the tree, which of its texts or values, and the
// further link, field or option it lies in. Sites point at nodes; the history never destroys a
// node that a kept step still names.
#pragma once

#include "model/item_form.h"
#include "model/item_link.h"

#include <cstdint>
#include <string>

class CStreamable;

// The kind of a tree node.
enum NodeKind : std::int32_t
{
    kNodeProject = 0,
    kNodeColumn = 1,
    kNodeGroup = 2,
    kNodeItem = 3, // a link or a form item
};

// Which text or value of a node, or which of its row lists.
enum class SitePart : std::uint8_t
{
    Node, // the node as a whole (structure)
    Title,
    PageStyle,
    Caption, // a column's or group's caption
    MainCaption,
    MainUrl,
    Divider,
    Popup,
    LinkCaption, // of the further link `link`
    LinkUrl,
    FormName,
    FormAction,
    Method,
    FieldName, // of the field `field`
    FieldValue,
    FieldType,
    FieldHidden,
    OptionText, // of the option `option` of the field `field`
    OptionValue,
    Links,   // the further link list (a row added or removed: `link`)
    Fields,  // the field list (`field`)
    Options, // the option list of `field` (`option`)
    Icon,    // a link item's site icon
    Tab,     // a column's tab
};

struct CSite
{
    std::int32_t kind = kNodeProject;
    CStreamable* node = nullptr; // not owned
    SitePart part = SitePart::Node;
    CItemLink::CLink* link = nullptr;     // not owned
    CItemForm::CField* field = nullptr;   // not owned
    CItemForm::COption* option = nullptr; // not owned

    // The row inside the node the site lies in: the option, else the field, else the further
    // link; null for the node's own texts.
    const void* Row() const;
    // The same node and the same text or value of the same row.
    bool SameTarget(const CSite& other) const;
};

// The text a site names, or null for sites without one (the popup, values, lists).
std::wstring* TextOf(const CSite& site);
// Reads the number a site names (page style, method, field type, hidden as 0 or 1); false for
// sites without one.
bool ReadNumber(const CSite& site, std::int32_t& value);
// Writes it; a site without one is left alone.
void WriteNumber(const CSite& site, std::int32_t value);
