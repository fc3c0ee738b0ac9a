#include "panes/prop_simple.h"

#include "model/project.h"
#include "resources/resource.h"

CdlgPropProject::CdlgPropProject(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_PROJECT, owner) {}

void CdlgPropProject::SetNode(CStreamable* bound)
{
    node = static_cast<CProject*>(bound);
}

CdlgPropColumn::CdlgPropColumn(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_COLUMN, owner) {}

void CdlgPropColumn::SetNode(CStreamable* bound)
{
    node = static_cast<CColumn*>(bound);
}

CdlgPropGroup::CdlgPropGroup(CfrmTreeEditor& owner) : CdlgPropBase(IDD_PROP_GROUP, owner) {}

void CdlgPropGroup::SetNode(CStreamable* bound)
{
    node = static_cast<CGroup*>(bound);
}
