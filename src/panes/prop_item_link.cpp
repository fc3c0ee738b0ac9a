#include "panes/prop_item_link.h"

#include "model/item_link.h"
#include "resources/resource.h"

CdlgPropItemLink::CdlgPropItemLink(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_ITEMLINK, owner)
{
}

void CdlgPropItemLink::SetNode(CStreamable* bound)
{
    node = static_cast<CItemLink*>(bound);
}
