#include "panes/prop_base.h"

CdlgPropBase::CdlgPropBase(UINT templateId, CProjectChanges& changes)
    : CDialogBase(templateId), changes(&changes)
{
}

void CdlgPropBase::ShowRow(const CSite&) {}

CSite CdlgPropBase::CurrentRow() const
{
    return CSite();
}
