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

std::int32_t* NumberOf(const CSite& site)
{
    if (!site.node) return nullptr;
    if (site.part == SitePart::Method) return &static_cast<CItemForm*>(site.node)->method;
    if (site.part == SitePart::FieldType && site.field) return &site.field->type;
    return nullptr;
}
