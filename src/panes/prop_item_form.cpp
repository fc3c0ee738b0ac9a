#include "panes/prop_item_form.h"

#include "model/item_form.h"
#include "resources/resource.h"

CdlgPropItemForm::CdlgPropItemForm(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_ITEMFORM, owner)
{
}

void CdlgPropItemForm::SetNode(CStreamable* bound)
{
    node = static_cast<CItemForm*>(bound);
}
