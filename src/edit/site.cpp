#include "edit/site.h"

#include "model/project.h"

const void* CSite::Row() const
{
    if (option) return option;
    if (field) return field;
    return link;
}

bool CSite::SameTarget(const CSite& other) const
{
    return node == other.node && kind == other.kind && part == other.part && Row() == other.Row();
}

std::wstring* TextOf(const CSite& site)
{
    if (!site.node) return nullptr;
    // Cast by what the part says the node is, never before.
    auto linkItem = [&site] { return static_cast<CItemLink*>(site.node); };
    auto form = [&site] { return static_cast<CItemForm*>(site.node); };
    switch (site.part) {
    case SitePart::Title:
        return &static_cast<CProject*>(site.node)->title;
    case SitePart::Caption:
        if (site.kind == kNodeColumn) return &static_cast<CColumn*>(site.node)->caption;
        if (site.kind == kNodeGroup) return &static_cast<CGroup*>(site.node)->caption;
        return nullptr;
    case SitePart::Tab:
        return site.kind == kNodeColumn ? &static_cast<CColumn*>(site.node)->tab : nullptr;
    case SitePart::MainCaption:
        return &linkItem()->mainLink.caption;
    case SitePart::MainUrl:
        return &linkItem()->mainLink.url;
    case SitePart::Divider:
        return &linkItem()->divider;
    case SitePart::LinkCaption:
        return site.link ? &site.link->caption : nullptr;
    case SitePart::LinkUrl:
        return site.link ? &site.link->url : nullptr;
    case SitePart::FormName:
        return &form()->name;
    case SitePart::FormAction:
        return &form()->action;
    case SitePart::FieldName:
        return site.field ? &site.field->name : nullptr;
    case SitePart::FieldValue:
        return site.field ? &site.field->value : nullptr;
    case SitePart::OptionText:
        return site.option ? &site.option->text : nullptr;
    case SitePart::OptionValue:
        return site.option ? &site.option->value : nullptr;
    default:
        return nullptr;
    }
}

bool ReadNumber(const CSite& site, std::int32_t& value)
{
    if (!site.node) return false;
    switch (site.part) {
    case SitePart::PageStyle:
        value = static_cast<std::int32_t>(static_cast<CProject*>(site.node)->pageStyle);
        return true;
    case SitePart::Method:
        value = static_cast<CItemForm*>(site.node)->method;
        return true;
    case SitePart::FieldType:
        if (!site.field) return false;
        value = site.field->type;
        return true;
    case SitePart::FieldHidden:
        if (!site.field) return false;
        value = site.field->hidden ? 1 : 0;
        return true;
    default:
        return false;
    }
}

void WriteNumber(const CSite& site, std::int32_t value)
{
    if (!site.node) return;
    switch (site.part) {
    case SitePart::PageStyle:
        static_cast<CProject*>(site.node)->pageStyle = static_cast<PageStyle>(value);
        break;
    case SitePart::Method:
        static_cast<CItemForm*>(site.node)->method = value;
        break;
    case SitePart::FieldType:
        if (site.field) site.field->type = value;
        break;
    case SitePart::FieldHidden:
        if (site.field) site.field->hidden = value != 0;
        break;
    default:
        break;
    }
}
